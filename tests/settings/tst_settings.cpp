// The key table and the typed readers and writers over a store.

#include "Settings.h"
#include "SettingsKeyTable.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using varneth::Settings;
using varneth::SettingsKey;
using varneth::SettingsStore;

namespace {

enum class Reader
{
    Single,
    Double,
    Integer
};

// Remembers what Settings asks of the store, and answers from memory.
class RecordingStore : public SettingsStore
{
public:
    QString read(QStringView section, QStringView key, const QString& defaultValue) const override
    {
        reads << u"%1/%2 default %3"_s.arg(section, key, defaultValue);
        return values.value(key.toString(), defaultValue);
    }
    WriteResult write(QStringView section, QStringView key, const QString& text) override
    {
        writes << u"%1/%2=%3"_s.arg(section, key, text);
        values.insert(key.toString(), text);
        return {};
    }

    mutable QStringList reads;
    QStringList writes;
    QHash<QString, QString> values;
};

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void keyTable_data();
    void keyTable();
    void typedDefaultsOnEmptyStore();
    void asksTheStoreByName();

    void typedRead_data();
    void typedRead();
    void hugeUnconvertibleTextIsShortInWarning();

    void singleRoundTrip_data();
    void singleRoundTrip();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
};

void tst_Settings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<SettingsStore>(m_dir->filePath(u"VARNETH.conf"_s));
}

void tst_Settings::keyTable_data()
{
    QTest::addColumn<SettingsKey>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<varneth::SettingsKeyTable::Reading>("reading");

    QTest::newRow("MainLeft") << SettingsKey::MainLeft << u"MainLeft"_s << u"1000"_s
                              << varneth::SettingsKeyTable::Reading::Single;
    QTest::newRow("MainTop") << SettingsKey::MainTop << u"MainTop"_s << u"1000"_s
                             << varneth::SettingsKeyTable::Reading::Single;
    QTest::newRow("MainWidth") << SettingsKey::MainWidth << u"MainWidth"_s << u"10440"_s
                               << varneth::SettingsKeyTable::Reading::Single;
    QTest::newRow("MainHeight") << SettingsKey::MainHeight << u"MainHeight"_s << u"1995"_s
                                << varneth::SettingsKeyTable::Reading::Single;
    QTest::newRow("exchange rate")
        << SettingsKey::ExchangeRateTextbox << u"EXCHANGE_RATE_TEXTBOX"_s << u"Exchange Rate"_s
        << varneth::SettingsKeyTable::Reading::Text;
    QTest::newRow("amount") << SettingsKey::AmountInWallet1 << u"AMOUNT_IN_WALLET_1"_s << u"0"_s
                            << varneth::SettingsKeyTable::Reading::Text;
    QTest::newRow("price") << SettingsKey::CurrentDollarValuation1
                           << u"CURRENT_DOLLAR_VALUATION_1"_s << u"0"_s
                           << varneth::SettingsKeyTable::Reading::Text;
    QTest::newRow("always on top")
        << SettingsKey::AlwaysOnTopTimerTickbox << u"AlwaysOnTopTimer_TICKBOX"_s << u"0"_s
        << varneth::SettingsKeyTable::Reading::Tick;
    QTest::newRow("autosave") << SettingsKey::AutosaveTickbox << u"AUTOSAVE_TICKBOX"_s << u"0"_s
                              << varneth::SettingsKeyTable::Reading::Tick;
    QTest::newRow("SettingsScreenLeft")
        << SettingsKey::SettingsScreenLeft << u"SettingsScreenLeft"_s << u"1000"_s
        << varneth::SettingsKeyTable::Reading::Single;
    QTest::newRow("SettingsScreenTop") << SettingsKey::SettingsScreenTop << u"SettingsScreenTop"_s
                                       << u"1000"_s << varneth::SettingsKeyTable::Reading::Single;
    QTest::newRow("SettingsScreenWidth")
        << SettingsKey::SettingsScreenWidth << u"SettingsScreenWidth"_s << u"8040"_s
        << varneth::SettingsKeyTable::Reading::Single;
    QTest::newRow("SettingsScreenHeight")
        << SettingsKey::SettingsScreenHeight << u"SettingsScreenHeight"_s << u"3045"_s
        << varneth::SettingsKeyTable::Reading::Single;
}

void tst_Settings::keyTable()
{
    QFETCH(SettingsKey, key);
    QFETCH(QString, name);
    QFETCH(QString, defaultText);
    QFETCH(varneth::SettingsKeyTable::Reading, reading);

    QCOMPARE(Settings::keyName(key), name);
    QCOMPARE(varneth::SettingsKeyTable::entry(key).reading, reading);
    QCOMPARE(Settings::defaultText(key), defaultText);
    // An empty store answers every key with its default, and reading creates no file.
    const Settings settings(*m_store, QLocale::c());
    QCOMPARE(settings.readText(key), defaultText);
    QVERIFY(!QFileInfo::exists(m_store->filePath()));
}

void tst_Settings::typedDefaultsOnEmptyStore()
{
    QTest::failOnWarning(QRegularExpression(u"."_s));
    const Settings settings(*m_store, QLocale(QLocale::German, QLocale::Germany));
    using Reading = varneth::SettingsKeyTable::Reading;
    for (const auto& entry : varneth::SettingsKeyTable::entries()) {
        const double expected = entry.defaultText.toDouble();
        if (entry.reading == Reading::Single)
            QCOMPARE(settings.readSingle(entry.key), float(expected));
        if (entry.reading == Reading::Tick) {
            QCOMPARE(settings.readDouble(entry.key), expected);
            QCOMPARE(settings.readInteger(entry.key), qint16(expected));
        }
    }
}

void tst_Settings::asksTheStoreByName()
{
    RecordingStore store;
    store.values.insert(u"MainLeft"_s, u"12"_s);
    Settings settings(store, QLocale::c());
    QCOMPARE(settings.readSingle(SettingsKey::MainLeft), 12.0f);
    QCOMPARE(settings.readText(SettingsKey::ExchangeRateTextbox), u"Exchange Rate"_s);
    QVERIFY(settings.writeSingle(SettingsKey::SettingsScreenTop, 1500.0f));
    QVERIFY(settings.writeInteger(SettingsKey::AutosaveTickbox, 1));
    QVERIFY(settings.writeText(SettingsKey::AmountInWallet1, u"abc"_s));

    QCOMPARE(store.reads, (QStringList{u"Settings/MainLeft default 1000"_s,
                                       u"Settings/EXCHANGE_RATE_TEXTBOX default "
                                       "Exchange Rate"_s}));
    QCOMPARE(store.writes,
             (QStringList{u"Settings/SettingsScreenTop=1500"_s, u"Settings/AUTOSAVE_TICKBOX=1"_s,
                          u"Settings/AMOUNT_IN_WALLET_1=abc"_s}));
}

void tst_Settings::typedRead_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<SettingsKey>("key");
    QTest::addColumn<QString>("stored"); // null: the key is absent
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("warns");

    const auto single = Reader::Single;
    const auto dbl = Reader::Double;
    const auto integer = Reader::Integer;
    const auto top = SettingsKey::AlwaysOnTopTimerTickbox;
    const auto autosave = SettingsKey::AutosaveTickbox;

    QTest::newRow("C, whole") << u"C"_s << single << SettingsKey::MainLeft << u"1200"_s << 1200.0
                              << false;
    QTest::newRow("C, fraction") << u"C"_s << single << SettingsKey::MainTop << u"1000.5"_s
                                 << 1000.5 << false;
    QTest::newRow("C, absent") << u"C"_s << single << SettingsKey::MainWidth << QString() << 10440.0
                               << false;
    QTest::newRow("C, letters") << u"C"_s << single << SettingsKey::MainLeft << u"abc"_s << 1000.0
                                << true;
    QTest::newRow("C, infinity") << u"C"_s << single << SettingsKey::MainLeft << u"inf"_s << 1000.0
                                 << true;
    QTest::newRow("C, beyond a single")
        << u"C"_s << single << SettingsKey::SettingsScreenTop << u"1e39"_s << 1000.0 << true;
    QTest::newRow("de, decimal comma")
        << u"de_DE"_s << single << SettingsKey::MainLeft << u"1000,5"_s << 1000.5 << false;
    QTest::newRow("de, grouped") << u"de_DE"_s << single << SettingsKey::MainWidth << u"10.440"_s
                                 << 10440.0 << false;
    QTest::newRow("de, letters") << u"de_DE"_s << single << SettingsKey::MainHeight << u"abc"_s
                                 << 1995.0 << true;
    QTest::newRow("de, point as separator")
        << u"de_DE"_s << single << SettingsKey::MainLeft << u"1000.5"_s << 1000.0 << true;

    QTest::newRow("C, tick double") << u"C"_s << dbl << top << u"1"_s << 1.0 << false;
    QTest::newRow("C, tick double other than 0 or 1")
        << u"C"_s << dbl << top << u"2"_s << 2.0 << false;
    QTest::newRow("C, tick double letters") << u"C"_s << dbl << top << u"yes"_s << 0.0 << true;
    QTest::newRow("de, tick double comma")
        << u"de_DE"_s << dbl << autosave << u"1,0"_s << 1.0 << false;

    QTest::newRow("C, tick integer") << u"C"_s << integer << autosave << u"1"_s << 1.0 << false;
    QTest::newRow("C, tick integer fraction")
        << u"C"_s << integer << autosave << u"1.5"_s << 0.0 << true;
    QTest::newRow("C, tick integer beyond 16 bits")
        << u"C"_s << integer << top << u"70000"_s << 0.0 << true;
    QTest::newRow("de, tick integer letters")
        << u"de_DE"_s << integer << top << u"wahr"_s << 0.0 << true;
}

void tst_Settings::typedRead()
{
    QFETCH(QString, locale);
    QFETCH(Reader, reader);
    QFETCH(SettingsKey, key);
    QFETCH(QString, stored);
    QFETCH(double, expected);
    QFETCH(bool, warns);

    Settings settings(*m_store, QLocale(locale));
    if (!stored.isNull())
        QVERIFY(settings.writeText(key, stored));
    if (warns) {
        // One line naming the key and the text it holds.
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(u"^[^\\n]*%1[^\\n]*\"%2\"[^\\n]*$"_s.arg(
                                 Settings::keyName(key), QRegularExpression::escape(stored))));
    } else {
        QTest::failOnWarning(QRegularExpression(u"."_s));
    }

    switch (reader) {
    case Reader::Single:
        QCOMPARE(settings.readSingle(key), float(expected));
        break;
    case Reader::Double:
        QCOMPARE(settings.readDouble(key), expected);
        break;
    case Reader::Integer:
        QCOMPARE(settings.readInteger(key), qint16(expected));
        break;
    }
}

void tst_Settings::hugeUnconvertibleTextIsShortInWarning()
{
    Settings settings(*m_store, QLocale::c());
    QString huge = u"line\n"_s;
    huge += QString(1024 * 1024, u'x');
    QVERIFY(settings.writeText(SettingsKey::MainLeft, huge));

    // One line: the first 64 characters, control characters escaped, and the length.
    QTest::ignoreMessage(
        QtWarningMsg,
        QRegularExpression(u"^the setting MainLeft holds \"line\\\\nx{59}\\.\\.\\. "
                           "\\(1048581 characters\\)\", which is not a usable number; "
                           "using its default 1000$"_s));
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    QCOMPARE(settings.readSingle(SettingsKey::MainLeft), 1000.0f);
}

void tst_Settings::singleRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text"); // as stored; null when any readable text will do

    QTest::newRow("C, fraction") << u"C"_s << 1234.5f << u"1234.5"_s;
    QTest::newRow("de, fraction") << u"de_DE"_s << 1000.5f << u"1000,5"_s;
    QTest::newRow("de, tenth") << u"de_DE"_s << 0.1f << QString();
}

void tst_Settings::singleRoundTrip()
{
    QFETCH(QString, locale);
    QFETCH(float, value);
    QFETCH(QString, text);

    Settings settings(*m_store, QLocale(locale));
    QVERIFY(settings.writeSingle(SettingsKey::SettingsScreenLeft, value));
    if (!text.isNull())
        QCOMPARE(settings.readText(SettingsKey::SettingsScreenLeft), text);
    QCOMPARE(settings.readSingle(SettingsKey::SettingsScreenLeft), value);
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
