// A store must survive its writer being killed at any moment, and two programs writing
// at once: the file always parses and every key holds a whole value somebody wrote.

#include "SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using varneth::SettingsStore;

namespace {

// A whole value as settings_writer writes it.
QString whole(QChar letter)
{
    return QString(1024, letter);
}

// Empty when the key holds one of the whole values written with these letters.
QString wholenessProblem(const QSettings& settings, const QString& key, const QString& letters)
{
    const QVariant value = settings.value(u"Settings/"_s + key);
    if (value.typeId() != QMetaType::QString)
        return u"%1 is missing or not text"_s.arg(key);
    const QString text = value.toString();
    for (const QChar letter : letters) {
        if (text == whole(letter))
            return {};
    }
    return u"%1 holds a broken value of %2 characters starting \"%3\""_s.arg(
        key, QString::number(text.size()), text.left(8));
}

QStringList strayFiles(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(u"VARNETH.conf"_s);
    names.sort();
    return names;
}

} // namespace

class tst_SettingsStoreCrash : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void anotherProcessWriteIsSeen()
    {
        const SettingsStore store(file());
        QCOMPARE(store.read(u"Settings", u"Shared", u"none"_s), u"none"_s);

        // The same size twice in a row: a cache keyed on size and time must not hide it.
        for (const QChar letter : {u'E', u'F', u'E'}) {
            QProcess* writer = startWriter(u"1"_s, 1, letter, {u"Shared"_s});
            QVERIFY(writer->waitForFinished(30000));
            QCOMPARE(writer->exitCode(), 0);
            QCOMPARE(store.read(u"Settings", u"Shared", u"none"_s), whole(letter));
        }
    }

    void killedWriterLeavesWholeValues()
    {
        const QStringList keys{u"MainLeft"_s, u"EXCHANGE_RATE_TEXTBOX"_s, u"AMOUNT_IN_WALLET_1"_s,
                               u"CURRENT_DOLLAR_VALUATION_1"_s};
        SettingsStore store(file());
        for (const QString& key : keys)
            QVERIFY(store.write(u"Settings", key, whole(u'A')));

        constexpr int kills = 200;
        QRandomGenerator random(20240601);
        QSet<QString> seen;
        int insideSave = 0;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kills; ++i) {
            QProcess* writer = startWriter(u"1"_s, -1, u"AB"_s, keys);
            // A writer killed while creating the lock file leaves it empty; the next one then
            // waits for Qt's 30 s stale-lock age, so allow for that.
            QVERIFY2(writer->waitForReadyRead(45000), "the writer never finished a round");
            QThread::usleep(random.bounded(20000));
            writer->kill();
            QVERIFY(writer->waitForFinished(10000));
            delete writer;
            // The save lock outlives its killed holder: this kill landed inside a save.
            if (QFileInfo::exists(file() + u".lock"_s))
                ++insideSave;

            const QSettings settings(file(), QSettings::IniFormat);
            QCOMPARE(settings.status(), QSettings::NoError);
            for (const QString& key : keys) {
                const QString problem = wholenessProblem(settings, key, u"AB"_s);
                QVERIFY2(problem.isEmpty(), qPrintable(u"after kill %1: %2"_s.arg(i).arg(problem)));
                seen.insert(settings.value(u"Settings/"_s + key).toString().left(1));
            }
        }
        // Both letters were on disk at some kill, so the writers really were writing.
        QCOMPARE(seen.size(), 2);
        // Most kills must hit a save, or the test proves little.
        QVERIFY2(insideSave >= kills / 4,
                 qPrintable(u"only %1 kills inside a save"_s.arg(insideSave)));
        qInfo("%d kills in %lld ms, %d inside a save; files left beside the store: %s", kills,
              clock.elapsed(), insideSave, qPrintable(strayFiles(m_dir->path()).join(u", "_s)));
    }

    void twoWritersAtOnce_data()
    {
        QTest::addColumn<QStringList>("firstKeys");
        QTest::addColumn<QStringList>("secondKeys");
        QTest::newRow("different keys") << QStringList{u"MainLeft"_s, u"MainTop"_s}
                                        << QStringList{u"MainWidth"_s, u"MainHeight"_s};
        QTest::newRow("same key") << QStringList{u"AMOUNT_IN_WALLET_1"_s}
                                  << QStringList{u"AMOUNT_IN_WALLET_1"_s};
    }
    void twoWritersAtOnce()
    {
        QFETCH(QStringList, firstKeys);
        QFETCH(QStringList, secondKeys);
        constexpr int rounds = 150;
        QProcess* first = startWriter(u"1"_s, rounds, u"AB"_s, firstKeys);
        QProcess* second = startWriter(u"2"_s, rounds, u"CD"_s, secondKeys);
        QVERIFY(first->waitForFinished(120000));
        QVERIFY(second->waitForFinished(120000));
        QCOMPARE(first->exitCode(), 0);
        QCOMPARE(second->exitCode(), 0);

        QVERIFY(QFileInfo::exists(file()));
        const QSettings settings(file(), QSettings::IniFormat);
        QCOMPARE(settings.status(), QSettings::NoError);
        for (const QString& key : firstKeys + secondKeys) {
            // A key holds only what the writers of that key wrote.
            const QString letters = (firstKeys.contains(key) ? u"AB"_s : QString()) +
                                    (secondKeys.contains(key) ? u"CD"_s : QString());
            const QString problem = wholenessProblem(settings, key, letters);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        // Each writer's last key survived the other's later saves: saves merge, not clobber.
        QCOMPARE(settings.value(u"Settings/done_1"_s).toString(), u"yes"_s);
        QCOMPARE(settings.value(u"Settings/done_2"_s).toString(), u"yes"_s);
        // Orderly writers leave neither a lock nor a temporary file.
        QCOMPARE(strayFiles(m_dir->path()), QStringList());
    }

private:
    QString file() const { return m_dir->filePath(u"VARNETH.conf"_s); }
    QProcess* startWriter(const QString& id, int rounds, const QString& letters,
                          const QStringList& keys)
    {
        auto* process = new QProcess(this);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(VARNETH_SETTINGS_WRITER),
                       QStringList{file(), id, QString::number(rounds), letters} + keys);
        return process;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_SettingsStoreCrash)
#include "tst_settingsstore_crash.moc"
