#include "Platform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace varneth;

namespace {

QStringList g_messages;

void collectMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages << message;
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// Launches against recording stand-ins for the calculators, put on a PATH of their own.
// Each stand-in appends "NAME ARGC [ARG]..." to a record file and its working directory to
// another, so what was started, how often and with what is read back from the files.
class TestCalculatorLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsFirstCalculatorFoundOnce_data();
    void startsFirstCalculatorFoundOnce();
    void passesParametersAsArgumentsWithoutShell_data();
    void passesParametersAsArgumentsWithoutShell();
    void startsInGivenDirectory();
    void refusesAnythingButCalculator_data();
    void refusesAnythingButCalculator();
    void reportsMissingCalculatorOnOneLine();

private:
    void install(const QString& name);
    QString recordPath() const { return m_dir->filePath(QStringLiteral("record")); }
    QString markerPath() const { return m_dir->filePath(QStringLiteral("marker")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedPath;
    QtMessageHandler m_savedHandler = nullptr;
};

void TestCalculatorLaunch::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("bin")));
    m_savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir->filePath(QStringLiteral("bin"))));
    g_messages.clear();
    m_savedHandler = qInstallMessageHandler(collectMessage);
}

void TestCalculatorLaunch::cleanup()
{
    qInstallMessageHandler(m_savedHandler);
    qputenv("PATH", m_savedPath);
    m_dir.reset();
}

void TestCalculatorLaunch::install(const QString& name)
{
    const QString path = m_dir->filePath(QStringLiteral("bin/") + name);
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    // Only shell built-ins: the stand-in runs with the test's PATH, which holds nothing else.
    script.write(QStringLiteral("#!/bin/sh\n"
                                "{ printf '%s %d' \"${0##*/}\" \"$#\"\n"
                                "  for a in \"$@\"; do printf ' [%s]' \"$a\"; done\n"
                                "  printf '\\n'; } >> '%1'\n"
                                "printf '%s\\n' \"$PWD\" >> '%2'\n")
                     .arg(recordPath(), m_dir->filePath(QStringLiteral("cwd")))
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

void TestCalculatorLaunch::startsFirstCalculatorFoundOnce_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");

    const QStringList xcalc{QStringLiteral("xcalc")};
    QTest::newRow("runas, as the main window asks") << xcalc << "runas"
                                                    << "calc.exe"
                                                    << "xcalc 0\n";
    QTest::newRow("verb and file in capitals") << xcalc << "RunAs"
                                               << "CALC.EXE"
                                               << "xcalc 0\n";
    QTest::newRow("open") << xcalc << "open"
                          << "calc.exe"
                          << "xcalc 0\n";
    QTest::newRow("no verb") << xcalc << ""
                             << "calc.exe"
                             << "xcalc 0\n";
    QTest::newRow("gnome-calculator before xcalc")
        << QStringList{"xcalc", "gnome-calculator"} << "runas"
        << "calc.exe"
        << "gnome-calculator 0\n";
    QTest::newRow("kcalc before galculator and mate-calc")
        << QStringList{"mate-calc", "galculator", "kcalc"} << "runas"
        << "calc.exe"
        << "kcalc 0\n";
    QTest::newRow("qalculate-qt before qalculate-gtk")
        << QStringList{"qalculate-gtk", "qalculate-qt"} << "runas"
        << "calc.exe"
        << "qalculate-qt 0\n";
}

void TestCalculatorLaunch::startsFirstCalculatorFoundOnce()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, verb);
    QFETCH(QString, file);
    QFETCH(QString, expected);
    for (const QString& name : installed) {
        install(name);
    }

    Platform::create()->shellExecute(0, verb, file, QString(), QString(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(readFile(recordPath()), expected, 10000);
    QCOMPARE(g_messages, QStringList());
}

void TestCalculatorLaunch::passesParametersAsArgumentsWithoutShell_data()
{
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one word") << "-rpn"
                              << "xcalc 1 [-rpn]\n";
    QTest::newRow("quoted words stay together") << "-title \"my sums\""
                                                << "xcalc 2 [-title] [my sums]\n";
    QTest::newRow("only blanks: no arguments") << "   "
                                               << "xcalc 0\n";
    QTest::newRow("command separator") << "; /usr/bin/touch MARKER"
                                       << "xcalc 3 [;] [/usr/bin/touch] [MARKER]\n";
    QTest::newRow("command substitution") << "$(/usr/bin/touch MARKER)"
                                          << "xcalc 2 [$(/usr/bin/touch] [MARKER)]\n";
    QTest::newRow("backquotes") << "`/usr/bin/touch MARKER`"
                                << "xcalc 2 [`/usr/bin/touch] [MARKER`]\n";
}

void TestCalculatorLaunch::passesParametersAsArgumentsWithoutShell()
{
    QFETCH(QString, parameters);
    QFETCH(QString, expected);
    install(QStringLiteral("xcalc"));
    parameters.replace(QLatin1String("MARKER"), markerPath());
    expected.replace(QLatin1String("MARKER"), markerPath());

    Platform::create()->shellExecute(0, QStringLiteral("runas"), QStringLiteral("calc.exe"),
                                     parameters, QString(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(readFile(recordPath()), expected, 10000);
    QVERIFY(!QFile::exists(markerPath()));
}

void TestCalculatorLaunch::startsInGivenDirectory()
{
    install(QStringLiteral("xcalc"));
    const QString directory = m_dir->filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkdir(directory));

    Platform::create()->shellExecute(0, QStringLiteral("runas"), QStringLiteral("calc.exe"),
                                     QString(), directory, 1);

    QTRY_COMPARE_WITH_TIMEOUT(readFile(m_dir->filePath(QStringLiteral("cwd"))),
                              QDir(directory).canonicalPath() + QLatin1Char('\n'), 10000);
}

void TestCalculatorLaunch::refusesAnythingButCalculator_data()
{
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("file");

    QTest::newRow("command after the file") << "runas"
                                            << "calc.exe; /usr/bin/touch MARKER";
    QTest::newRow("command substitution as file") << "runas"
                                                  << "$(/usr/bin/touch MARKER)";
    QTest::newRow("backquotes as file") << "runas"
                                        << "`/usr/bin/touch MARKER`";
    QTest::newRow("command after the verb") << "runas && /usr/bin/touch MARKER"
                                            << "calc.exe";
    QTest::newRow("another program") << "open"
                                     << "/usr/bin/touch";
    QTest::newRow("another verb") << "edit"
                                  << "calc.exe";
}

void TestCalculatorLaunch::refusesAnythingButCalculator()
{
    QFETCH(QString, verb);
    QFETCH(QString, file);
    install(QStringLiteral("xcalc"));
    verb.replace(QLatin1String("MARKER"), markerPath());
    file.replace(QLatin1String("MARKER"), markerPath());

    Platform::create()->shellExecute(0, verb, file, QString(), QString(), 1);

    QCOMPARE(g_messages.size(), 1);
    QVERIFY2(g_messages.constFirst().startsWith(QLatin1String("varneth: not starting")),
             qPrintable(g_messages.constFirst()));
    // A shell or program started behind our back would have had time to leave its trace.
    QTest::qWait(300);
    QVERIFY(!QFile::exists(markerPath()));
    QVERIFY(!QFile::exists(recordPath()));
}

void TestCalculatorLaunch::reportsMissingCalculatorOnOneLine()
{
    Platform::create()->shellExecute(0, QStringLiteral("runas"), QStringLiteral("calc.exe"),
                                     QString(), QString(), 1);

    QCOMPARE(g_messages.size(), 1);
    QVERIFY2(g_messages.constFirst().startsWith(QLatin1String("varneth: no calculator found")),
             qPrintable(g_messages.constFirst()));
    QVERIFY(!g_messages.constFirst().contains(QLatin1Char('\n')));
}

QTEST_MAIN(TestCalculatorLaunch)
#include "tst_calculator_launch.moc"
