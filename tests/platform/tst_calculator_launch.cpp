#include "Platform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace varneth;

namespace {

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// Launches against recording stand-ins for the calculators, put on a PATH of their own.
// Each stand-in appends "NAME ARGC [ARG]..." to a record file, so what was started, how
// often and with what is read back from it.
class TestCalculatorLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsFirstCalculatorFoundOnce_data();
    void startsFirstCalculatorFoundOnce();
    void reportsMissingCalculatorOnOneLine();

private:
    void install(const QString& name);
    QString recordPath() const { return m_dir->filePath(QStringLiteral("record")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedPath;
};

void TestCalculatorLaunch::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("bin")));
    m_savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir->filePath(QStringLiteral("bin"))));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void TestCalculatorLaunch::cleanup()
{
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
                                "  printf '\\n'; } >> '%1'\n")
                     .arg(recordPath())
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

void TestCalculatorLaunch::startsFirstCalculatorFoundOnce_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("the only one") << QStringList{"xcalc"} << "xcalc 0\n";
    QTest::newRow("gnome-calculator before xcalc")
        << QStringList{"xcalc", "gnome-calculator"} << "gnome-calculator 0\n";
    QTest::newRow("kcalc before galculator and mate-calc")
        << QStringList{"mate-calc", "galculator", "kcalc"} << "kcalc 0\n";
    QTest::newRow("qalculate-qt before qalculate-gtk")
        << QStringList{"qalculate-gtk", "qalculate-qt"} << "qalculate-qt 0\n";
}

void TestCalculatorLaunch::startsFirstCalculatorFoundOnce()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, expected);
    for (const QString& name : installed) {
        install(name);
    }

    Platform::create()->startCalculator();

    QTRY_COMPARE_WITH_TIMEOUT(readFile(recordPath()), expected, 10000);
}

void TestCalculatorLaunch::reportsMissingCalculatorOnOneLine()
{
    QTest::ignoreMessage(QtWarningMsg,
                         "no calculator found on PATH (looked for gnome-calculator, kcalc, "
                         "qalculate-qt, qalculate-gtk, galculator, mate-calc, xcalc)");
    Platform::create()->startCalculator();
}

QTEST_MAIN(TestCalculatorLaunch)
#include "tst_calculator_launch.moc"
