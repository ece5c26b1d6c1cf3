// The store itself: exact texts, where files go, who may read them, what a failed write
// says, and that a damaged file is survived.

#include "SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using varneth::SettingsStore;

namespace {

QString readKey(const SettingsStore& store, QStringView key, const QString& absent = u"<absent>"_s)
{
    return store.read(u"Settings", key, absent);
}

SettingsStore::WriteResult writeKey(SettingsStore& store, QStringView key, const QString& text)
{
    return store.write(u"Settings", key, text);
}

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // Texts
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks around") << u"  padded  "_s;
        QTest::newRow("equals") << u"a=b=c"_s;
        QTest::newRow("semicolon") << u"a;b ; c"_s;
        QTest::newRow("comma") << u"1,5"_s;
        QTest::newRow("quotes") << u"\"quoted\" and \"half"_s;
        QTest::newRow("backslashes") << u"C:\\path\\n\\"_s;
        QTest::newRow("hash") << u"#not a comment"_s;
        QTest::newRow("newlines") << u"line 1\nline 2\n"_s;
        QTest::newRow("carriage returns") << u"a\r\nb\r"_s;
        QTest::newRow("tabs") << u"\ta\tb\t"_s;
        QTest::newRow("at sign") << u"@home"_s;
        QTest::newRow("at invalid") << u"@Invalid()"_s;
        QTest::newRow("at byte array") << u"@ByteArray(x)"_s;
        QTest::newRow("at variant") << u"@Variant(\\0\\0\\0\\x7f)"_s;
        QTest::newRow("non-ASCII") << u"Grüße, 1 234,56 €, ¥, Ω"_s;
        QTest::newRow("emoji") << u"🚀 to the 🌕"_s;
        QTest::newRow("100 KiB") << QString(100 * 1024, u'x');
        QTest::newRow("100 KiB of specials") << u"=;\"\\#@\n é🚀 "_s.repeated(2000);
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        SettingsStore store(file());
        QVERIFY(writeKey(store, u"EXCHANGE_RATE_TEXTBOX", text));
        QCOMPARE(readKey(store, u"EXCHANGE_RATE_TEXTBOX"), text);
        // And through the file, by a store that never saw the value.
        QCOMPARE(readKey(SettingsStore(file()), u"EXCHANGE_RATE_TEXTBOX"), text);
    }

    void absentKeyReadsDefaultAndCaseCounts()
    {
        SettingsStore store(file());
        QCOMPARE(readKey(store, u"MainLeft", u"1000"_s), u"1000"_s);
        QVERIFY(writeKey(store, u"MainTop", u"5"_s));
        QCOMPARE(readKey(store, u"MainLeft", u"1000"_s), u"1000"_s);
        QCOMPARE(store.read(u"Other", u"MainTop", u"d"_s), u"d"_s);
        // Keys are case-sensitive.
        QVERIFY(writeKey(store, u"maintop", u"6"_s));
        QCOMPARE(readKey(store, u"MainTop"), u"5"_s);
        QCOMPARE(readKey(store, u"MAINTOP"), u"<absent>"_s);
    }

    void anotherInstanceSeesWrite()
    {
        SettingsStore first(file()), second(file());
        QVERIFY(writeKey(first, u"AMOUNT_IN_WALLET_1", u"12"_s));
        QCOMPARE(readKey(second, u"AMOUNT_IN_WALLET_1"), u"12"_s);
        QVERIFY(writeKey(second, u"AMOUNT_IN_WALLET_1", u"13"_s));
        QCOMPARE(readKey(first, u"AMOUNT_IN_WALLET_1"), u"13"_s);
    }

    // Names and places
    void defaultFilePath_data()
    {
        QTest::addColumn<QByteArray>("xdg"); // null: unset
        QTest::addColumn<QString>("expected");
        const QString home = QDir::homePath() + u"/.config/VARNETH/VARNETH.conf"_s;
        QTest::newRow("set") << QByteArray("/srv/cfg") << u"/srv/cfg/VARNETH/VARNETH.conf"_s;
        QTest::newRow("unset") << QByteArray() << home;
        QTest::newRow("empty") << QByteArray("") << home;
        QTest::newRow("relative, so ignored") << QByteArray("cfg") << home;
    }
    void defaultFilePath()
    {
        QFETCH(QByteArray, xdg);
        QFETCH(QString, expected);
        QStandardPaths::setTestModeEnabled(false);
        const auto restore = qScopeGuard([saved = qgetenv("XDG_CONFIG_HOME")] {
            QStandardPaths::setTestModeEnabled(true);
            qputenv("XDG_CONFIG_HOME", saved);
        });
        xdg.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", xdg);
        QCOMPARE(SettingsStore::defaultFilePath(), expected);
        QCOMPARE(SettingsStore().filePath(), expected);
    }

    void invalidNamesAreRefused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty key") << u"Settings"_s << QString();
        QTest::newRow("slash in key") << u"Settings"_s << u"a/b"_s;
        QTest::newRow("backslash in key") << u"Settings"_s << u"a\\b"_s;
        QTest::newRow("empty section") << QString() << u"K"_s;
        QTest::newRow("slash in section") << u"Set/tings"_s << u"K"_s;
    }
    void invalidNamesAreRefused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        SettingsStore store(userFile());
        const SettingsStore::WriteResult result = store.write(section, key, u"v"_s);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(store.read(section, key, u"d"_s), u"d"_s);
        QVERIFY(!QFileInfo::exists(m_dir->filePath(u"config"_s)));
    }

    void constructionAndReadsTouchNoDisk()
    {
        for (const QString& path : {userFile(), file(u"sub/VARNETH.conf"_s)})
            QCOMPARE(readKey(SettingsStore(path), u"MainLeft"), u"<absent>"_s);
        const auto everything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
        QCOMPARE(QDir(m_dir->path()).entryList(everything), QStringList());
    }

    // Privacy
    void newFileAndFoldersArePrivate()
    {
        const auto restoreUmask = qScopeGuard([old = ::umask(022)] { ::umask(old); });
        SettingsStore store(userFile()); // under config/VARNETH, neither of which exists yet
        QVERIFY(writeKey(store, u"MainLeft", u"1"_s));
        QCOMPARE(modeOf(m_dir->filePath(u"config"_s)), mode_t(0700));
        QCOMPARE(modeOf(m_dir->filePath(u"config/VARNETH"_s)), mode_t(0700));
        QCOMPARE(modeOf(store.filePath()), mode_t(0600));
        // Later saves replace the file by a new one; it must stay private too.
        QVERIFY(writeKey(store, u"MainLeft", u"2"_s));
        QCOMPARE(modeOf(store.filePath()), mode_t(0600));
    }

    // Failures
    void writeFailureIsReported_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");

        // Places that refuse even root, since the tests may run as root.
        QTest::newRow("folder is a file")
            << u"<tmp>/plain/VARNETH.conf"_s << qt_error_string(ENOTDIR);
        QTest::newRow("file is a folder, as when unreadable")
            << u"<tmp>/folder"_s << qt_error_string(EISDIR);
        QTest::newRow("under /proc") << u"/proc/varneth-test/VARNETH.conf"_s << QString();
        QTest::newRow("under /sys") << u"/sys/varneth-test/VARNETH.conf"_s << QString();
    }
    void writeFailureIsReported()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QVERIFY(QFile(file(u"plain"_s)).open(QIODevice::WriteOnly));
        QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
        path.replace(u"<tmp>"_s, m_dir->path());

        SettingsStore store(path);
        const SettingsStore::WriteResult result = writeKey(store, u"MainLeft", u"1"_s);
        QVERIFY(!result.ok);
        QVERIFY(!result);
        QVERIFY2(result.error.startsWith(u"cannot write "_s + path), qPrintable(result.error));
        if (!reason.isEmpty())
            QVERIFY2(result.error.endsWith(u": "_s + reason), qPrintable(result.error));
        QCOMPARE(readKey(store, u"MainLeft", u"d"_s), u"d"_s);
    }

    void abandonedLockDoesNotStallWrite()
    {
        // What a writer killed between creating its lock file and filling it leaves behind;
        // Qt alone would wait 30 s for such a lock to go stale.
        const QString lock = file(u"VARNETH.conf.lock"_s);
        QVERIFY(QFile(lock).open(QIODevice::WriteOnly));

        SettingsStore store(file());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(writeKey(store, u"MainLeft", u"1"_s));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(u"took %1 ms"_s.arg(clock.elapsed())));
        QCOMPARE(readKey(store, u"MainLeft"), u"1"_s);
        QVERIFY(!QFile::exists(lock));
    }

    // Damaged files
    void damagedFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("good");  // the value of Settings/Good, readable or not
        QTest::addColumn<QString>("other"); // the value of Settings/Other, if readable

        const QByteArray good = "[Settings]\nGood=yes\n";
        QByteArray noise(64 * 1024, '\0');
        QRandomGenerator random(7);
        random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        const QString yes = u"yes"_s, absent = u"<absent>"_s, any = u"<any>"_s;

        QTest::newRow("random bytes") << noise << absent << absent;
        QTest::newRow("good lines, then random bytes") << good + noise << yes << absent;
        // The parser lets a quoted value run over line breaks, so an unclosed quote hides the
        // rest of the file; noise without quotes shows that the lines after it are read.
        QTest::newRow("random bytes, then good lines")
            << QByteArray(noise).replace('"', '_') + "\n" + good << yes << absent;
        QTest::newRow("unclosed quote") << good + "Bad=\"x\nOther=2\n" << yes << absent;
        QTest::newRow("truncated line") << good + "Other=\"unterminated" << yes << any;
        QTest::newRow("truncated section") << good + "[Sett" << yes << absent;
        QTest::newRow("NUL bytes")
            << QByteArray("[Settings]\nGood=yes\nOther=a\0b\n", 29) + "\0\0\0" << yes << any;
        QTest::newRow("invalid UTF-8") << good + "Other=\xff\xfe\xc3(\xed\xa0\x80\n" << yes << any;
        QTest::newRow("invalid UTF-8 key") << good + "\xff\xfe=1\nOther=2\n" << yes << u"2"_s;
        QTest::newRow("lines without =") << good + "just words\nOther=2\n" << yes << u"2"_s;
        QTest::newRow("huge, no line break")
            << good + "Other=" + QByteArray(50 * 1024 * 1024, 'z') << yes << any;
    }
    void damagedFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, good);
        QFETCH(QString, other);
        putFile(contents);
        SettingsStore store(file());
        QCOMPARE(readKey(store, u"Good"), good);
        if (other != u"<any>"_s)
            QCOMPARE(readKey(store, u"Other"), other);
        QCOMPARE(readKey(store, u"MainLeft", u"1000"_s), u"1000"_s);

        // A write rewrites the file from what could be parsed: the new value and the readable
        // keys are there afterwards.
        const SettingsStore::WriteResult result = writeKey(store, u"MainLeft", u"42"_s);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(readKey(store, u"MainLeft"), u"42"_s);
        QCOMPARE(readKey(store, u"Good"), good);
    }

    void handEditedValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quoted") << QByteArray("V=\"  abc  \"") << u"  abc  "_s;
        QTest::newRow("decimal comma") << QByteArray("V=1000,5") << u"1000,5"_s;
        QTest::newRow("list with blanks") << QByteArray("V=a, b") << u"a,b"_s;
        QTest::newRow("invalid marker") << QByteArray("V=@Invalid()") << u"<absent>"_s;
        QTest::newRow("byte array") << QByteArray("V=@ByteArray(xyz)") << u"xyz"_s;
        QTest::newRow("a rectangle") << QByteArray("V=@Rect(1 2 3 4)") << u"<absent>"_s;
    }
    void handEditedValues()
    {
        QFETCH(QByteArray, line);
        putFile("[Settings]\n" + line + "\n");
        QTEST(readKey(SettingsStore(file()), u"V"), "expected");
    }

private:
    QString file(const QString& name = u"VARNETH.conf"_s) const { return m_dir->filePath(name); }
    // Where the user's store would be, were the temporary folder the config folder.
    QString userFile() const { return file(u"config/VARNETH/VARNETH.conf"_s); }
    void putFile(const QByteArray& contents) const
    {
        QFile out(file());
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(out.write(contents), contents.size());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
