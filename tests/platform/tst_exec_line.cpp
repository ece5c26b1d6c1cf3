#include "DesktopEntry.h"
#include "ExecLine.h"

#include <QtTest>

using namespace varneth;

// Exec lines as they stand in a menu entry file named "Abacus Pro" with the icon "abacus",
// read by DesktopEntry and split by ExecLine, as the calculator's start does.
class TestExecLine : public QObject
{
    Q_OBJECT

private slots:
    void splitsLikeTheDesktopsLauncher_data();
    void splitsLikeTheDesktopsLauncher();
};

void TestExecLine::splitsLikeTheDesktopsLauncher_data()
{
    QTest::addColumn<QString>("line");
    // The program and its arguments; empty for a line that is rejected.
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("blanks separate") << "  kcalc   --nofork  " << QStringList{"kcalc", "--nofork"};
    QTest::newRow("quotes keep blanks and shell characters")
        << R"(sh -c "a  b | c; d > e" "")" << QStringList{"sh", "-c", "a  b | c; d > e", ""};
    // The file's own \\ is undone first, so a backslash in an argument is written \\\\.
    QTest::newRow("escapes inside quotes")
        << R"(calc "\"q\" \` \$HOME \\\\")" << QStringList{"calc", R"("q" ` $HOME \)"};
    QTest::newRow("the file's \\s separates")
        << R"(galculator\s-x)" << QStringList{"galculator", "-x"};
    QTest::newRow("Flatpak's file codes dropped")
        << "/usr/bin/flatpak run --command=kcalc org.kde.kcalc @@u %U @@"
        << QStringList{"/usr/bin/flatpak", "run", "--command=kcalc", "org.kde.kcalc", "@@u", "@@"};
    QTest::newRow("the name and icon kept, every other field code dropped")
        << "calc %f %F %u %U %i %c %k %d %D %n %N %v %m --file=%f"
        << QStringList{"calc", "--icon", "abacus", "Abacus Pro", "--file="};
    QTest::newRow("%c inside an argument")
        << "calc --title=%c" << QStringList{"calc", "--title=Abacus Pro"};
    QTest::newRow("%% is a percent sign, quoted or not")
        << R"(calc 100%% "50%% off")" << QStringList{"calc", "100%", "50% off"};

    QTest::newRow("unterminated quote") << R"(calc "abc)" << QStringList{};
    QTest::newRow("bare pipe") << "calc a|b" << QStringList{};
    QTest::newRow("bare dollar") << "calc $HOME" << QStringList{};
    QTest::newRow("bare single quotes") << "sh -c 'calc'" << QStringList{};
    QTest::newRow("bare backslash") << R"(calc a\\b)" << QStringList{};
    QTest::newRow("unescaped dollar in quotes") << R"(calc "$HOME")" << QStringList{};
    QTest::newRow("stray backslash in quotes") << R"(calc "a\qb")" << QStringList{};
    QTest::newRow("quotes not around the whole argument") << R"(calc --a="b")" << QStringList{};
    QTest::newRow("unknown field code") << "calc %z" << QStringList{};
    QTest::newRow("percent sign at the end") << "calc 5%" << QStringList{};
    QTest::newRow("only field codes") << "%f %U" << QStringList{};
    QTest::newRow("an assignment for a program") << "LANG=C calc" << QStringList{};
}

void TestExecLine::splitsLikeTheDesktopsLauncher()
{
    QFETCH(QString, line);
    const std::optional<DesktopEntry> entry = DesktopEntry::parse(
        "[Desktop Entry]\nType=Application\nName=Abacus Pro\nIcon=abacus\nExec=" + line + "\n");
    QVERIFY(entry);
    QTEST(ExecLine::split(entry->exec, entry->name, entry->icon).value_or(QStringList{}),
          "arguments");
}

QTEST_GUILESS_MAIN(TestExecLine)
#include "tst_exec_line.moc"
