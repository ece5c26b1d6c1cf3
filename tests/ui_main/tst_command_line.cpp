#include "CommandLine.h"

#include <QTest>

using namespace varneth;
using namespace Qt::StringLiterals;

// What the command line answers itself, before any display is needed, and what it leaves
// to the program and to Qt.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");     // -1: the program runs
        QTest::addColumn<QString>("output"); // where the program runs: what Qt gets, if changed
        QTest::addColumn<QString>("error");
        QTest::newRow("nothing") << QStringList{} << -1 << u""_s << u""_s;
        QTest::newRow("--version") << QStringList{"--version"} << 0 << u"VARNETH 1.0\n"_s << u""_s;
        QTest::newRow("-v") << QStringList{"-v"} << 0 << u"VARNETH 1.0\n"_s << u""_s;
        QTest::newRow("--help") << QStringList{"--help"} << 0 << u"--version"_s << u""_s;
        QTest::newRow("--help names the program as the user types it")
            << QStringList{"--help"} << 0 << u"Usage: varneth [options]\n"_s << u""_s;
        QTest::newRow("--help-all lists Qt's options")
            << QStringList{"--help-all"} << 0 << u"--platform <name>"_s << u""_s;
        QTest::newRow("help among Qt's options")
            << QStringList{"-platform", "offscreen", "-h"} << 0 << u"--help"_s << u""_s;
        QTest::newRow("-platform") << QStringList{"-platform", "xcb"} << -1 << u""_s << u""_s;
        QTest::newRow("-style=") << QStringList{"-style=Fusion"} << -1 << u"-style Fusion"_s
                                 << u""_s;
        QTest::newRow("-platform=, --display=")
            << QStringList{"-platform=offscreen", "--display=:1=2", "-reverse"} << -1
            << u"-platform offscreen -display :1=2 -reverse"_s << u""_s;
        QTest::newRow("-display, -reverse")
            << QStringList{"-display", ":1", "-reverse"} << -1 << u""_s << u""_s;
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << 2 << u""_s << u"Unknown option 'bogus'"_s;
        QTest::newRow("an argument") << QStringList{"stray"} << 2 << u""_s << u"'stray'"_s;
        QTest::newRow("a Qt option without its value")
            << QStringList{"-platform"} << 2 << u""_s << u"Missing value after '-platform'"_s;
    }

    void answersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, error);
        // Started by its full path, as a menu or a script may start it.
        const QStringList line = QStringList{"/usr/bin/varneth"} + arguments;
        const auto answer = CommandLine::answer(line);
        QCOMPARE(answer.has_value(), status >= 0);
        if (!answer) {
            QCOMPARE(CommandLine::qtArguments(line).mid(1).join(u' '),
                     output.isEmpty() ? arguments.join(u' ') : output);
            return;
        }
        QCOMPARE(answer->status, status);
        QVERIFY2(answer->output.contains(output), qPrintable(answer->output));
        QCOMPARE(answer->output.isEmpty(), output.isEmpty());
        QVERIFY2(answer->error.contains(error), qPrintable(answer->error));
        QCOMPARE(answer->error.isEmpty(), error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
