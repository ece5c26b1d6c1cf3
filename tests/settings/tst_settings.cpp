// The key table and the typed readers and writers over a store.

#include "RecordingStore.h"
#include "Settings.h"
#include "SettingsKeyTable.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace varneth;
using Reading = SettingsKeyTable::Reading;

class tst_Settings : public QObject
{
    Q_OBJECT

    enum class Reader
    {
        Single,
        Double,
        Integer
    };

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_store = std::make_unique<SettingsStore>(m_dir->filePath(u"VARNETH.conf"_s));
    }

    void keyTable_data()
    {
        QTest::addColumn<SettingsKey>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<Reading>("reading");

        using enum SettingsKey;
        using enum Reading;
        const auto row = [](const char* name, SettingsKey key, const QString& keyName,
                            const QString& defaultText, Reading reading) {
            QTest::newRow(name) << key << keyName << defaultText << reading;
        };
        row("MainLeft", MainLeft, "MainLeft", "1000", Single);
        row("MainTop", MainTop, "MainTop", "1000", Single);
        row("MainWidth", MainWidth, "MainWidth", "10440", Single);
        row("MainHeight", MainHeight, "MainHeight", "1995", Single);
        row("exchange rate", ExchangeRateTextbox, "EXCHANGE_RATE_TEXTBOX", "Exchange Rate", Text);
        row("amount", AmountInWallet1, "AMOUNT_IN_WALLET_1", "0", Text);
        row("price", CurrentDollarValuation1, "CURRENT_DOLLAR_VALUATION_1", "0", Text);
        row("always on top", AlwaysOnTopTimerTickbox, "AlwaysOnTopTimer_TICKBOX", "0", Tick);
        row("autosave", AutosaveTickbox, "AUTOSAVE_TICKBOX", "0", Tick);
        row("SettingsScreenLeft", SettingsScreenLeft, "SettingsScreenLeft", "1000", Single);
        row("SettingsScreenTop", SettingsScreenTop, "SettingsScreenTop", "1000", Single);
        row("SettingsScreenWidth", SettingsScreenWidth, "SettingsScreenWidth", "8040", Single);
        row("SettingsScreenHeight", SettingsScreenHeight, "SettingsScreenHeight", "3045", Single);
    }
    void keyTable()
    {
        QFETCH(SettingsKey, key);
        QFETCH(QString, defaultText);
        QTEST(Settings::keyName(key), "name");
        QTEST(SettingsKeyTable::entry(key).reading, "reading");
        QCOMPARE(Settings::defaultText(key), defaultText);
        // An empty store answers every key with its default, and reading creates no file.
        const Settings settings(*m_store, QLocale::c());
        QCOMPARE(settings.readText(key), defaultText);
        QVERIFY(!QFileInfo::exists(m_store->filePath()));
    }

    void typedDefaultsOnEmptyStore()
    {
        QTest::failOnWarning(QRegularExpression(u"."_s));
        const Settings settings(*m_store, QLocale(QLocale::German, QLocale::Germany));
        for (const auto& entry : SettingsKeyTable::entries()) {
            const double expected = entry.defaultText.toDouble();
            if (entry.reading == Reading::Single)
                QCOMPARE(settings.readSingle(entry.key), float(expected));
            if (entry.reading == Reading::Tick) {
                QCOMPARE(settings.readDouble(entry.key), expected);
                QCOMPARE(settings.readInteger(entry.key), qint16(expected));
            }
        }
    }

    void asksTheStoreByName()
    {
        m_store->write(u"Settings", u"MainLeft", u"12"_s);
        RecordingStore store(m_store->filePath());
        Settings settings(store, QLocale::c());
        QCOMPARE(settings.readSingle(SettingsKey::MainLeft), 12.0f);
        QCOMPARE(settings.readText(SettingsKey::ExchangeRateTextbox), u"Exchange Rate"_s);
        QVERIFY(settings.writeSingle(SettingsKey::SettingsScreenTop, 1500.0f));
        QVERIFY(settings.writeInteger(SettingsKey::AutosaveTickbox, 1));
        QVERIFY(settings.writeText(SettingsKey::AmountInWallet1, u"abc"_s));

        // The reads, then the writes.
        QCOMPARE(store.calls().mid(0, 2),
                 (QStringList{u"Settings/MainLeft default 1000"_s,
                              u"Settings/EXCHANGE_RATE_TEXTBOX default Exchange Rate"_s}));
        QCOMPARE(store.calls().mid(2), (QStringList{u"Settings/SettingsScreenTop=1500"_s,
                                                    u"Settings/AUTOSAVE_TICKBOX=1"_s,
                                                    u"Settings/AMOUNT_IN_WALLET_1=abc"_s}));
    }

    void typedRead_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<SettingsKey>("key");
        QTest::addColumn<QString>("stored"); // null: the key is absent
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("warns");

        using enum SettingsKey;
        using enum Reader;
        const auto top = AlwaysOnTopTimerTickbox;
        const auto autosave = AutosaveTickbox;
        const auto row = [](const char* name, const char* locale, Reader reader, SettingsKey key,
                            const QString& stored, double expected, bool warns) {
            QTest::newRow(name) << QString::fromLatin1(locale) << reader << key << stored
                                << expected << warns;
        };

        row("C, whole", "C", Single, MainLeft, "1200", 1200.0, false);
        row("C, fraction", "C", Single, MainTop, "1000.5", 1000.5, false);
        row("C, absent", "C", Single, MainWidth, QString(), 10440.0, false);
        row("C, letters", "C", Single, MainLeft, "abc", 1000.0, true);
        row("C, infinity", "C", Single, MainLeft, "inf", 1000.0, true);
        row("C, beyond a single", "C", Single, SettingsScreenTop, "1e39", 1000.0, true);
        row("de, decimal comma", "de_DE", Single, MainLeft, "1000,5", 1000.5, false);
        row("de, grouped", "de_DE", Single, MainWidth, "10.440", 10440.0, false);
        row("de, letters", "de_DE", Single, MainHeight, "abc", 1995.0, true);
        row("de, point as separator", "de_DE", Single, MainLeft, "1000.5", 1000.0, true);

        row("C, tick double", "C", Double, top, "1", 1.0, false);
        row("C, tick double other than 0 or 1", "C", Double, top, "2", 2.0, false);
        row("C, tick double letters", "C", Double, top, "yes", 0.0, true);
        row("de, tick double comma", "de_DE", Double, autosave, "1,0", 1.0, false);

        row("C, tick integer", "C", Integer, autosave, "1", 1.0, false);
        row("C, tick integer fraction", "C", Integer, autosave, "1.5", 0.0, true);
        row("C, tick integer beyond 16 bits", "C", Integer, top, "70000", 0.0, true);
        row("de, tick integer letters", "de_DE", Integer, top, "wahr", 0.0, true);
    }
    void typedRead()
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

        if (reader == Reader::Single)
            QCOMPARE(settings.readSingle(key), float(expected));
        else if (reader == Reader::Double)
            QCOMPARE(settings.readDouble(key), expected);
        else
            QCOMPARE(settings.readInteger(key), qint16(expected));
    }

    void hugeUnconvertibleTextIsShortInWarning()
    {
        Settings settings(*m_store, QLocale::c());
        const QString huge = u"line\n"_s + QString(1024 * 1024, u'x');
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

    void singleRoundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text"); // as stored; null when any readable text will do
        QTest::newRow("C, fraction") << u"C"_s << 1234.5f << u"1234.5"_s;
        QTest::newRow("de, fraction") << u"de_DE"_s << 1000.5f << u"1000,5"_s;
        QTest::newRow("de, tenth") << u"de_DE"_s << 0.1f << QString();
    }
    void singleRoundTrip()
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

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
