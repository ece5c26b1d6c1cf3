#include "CalculatorFinder.h"
#include "Platform.h"

#include <QtTest>

using namespace varneth;

namespace {

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The variables the choice reads; each test sets them and puts them back.
const char* const kVariables[] = {"PATH",
                                  "HOME",
                                  "XDG_DATA_HOME",
                                  "XDG_DATA_DIRS",
                                  "XDG_CURRENT_DESKTOP",
                                  "DESKTOP_STARTUP_ID",
                                  "XDG_ACTIVATION_TOKEN"};

} // namespace

// The choice and start of the calculator in a temporary home: a PATH of its own (bin), the
// data folders home (~/.local/share), sys1 and sys2 with menu entries, and apps for programs
// off PATH, as Flatpak's are. Every program is a stand-in that appends "NAME ARGC [ARG]..."
// to a record file, then " in FOLDER" when it runs elsewhere than the test and the names of
// the launch variables it finds set, so what was started, how often, where and with what
// is read back from it.
class TestCalculatorLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        for (const char* name : kVariables) {
            m_saved.append(qgetenv(name));
        }
        const QByteArray root = QFile::encodeName(m_dir->path());
        qputenv("PATH", root + "/bin");
        qputenv("HOME", root);
        qunsetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_DIRS", root + "/sys1:" + root + "/sys2");
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("DESKTOP_STARTUP_ID");
        qunsetenv("XDG_ACTIVATION_TOKEN");
        install(QStringLiteral("apps/flatpak"));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    }

    void cleanup()
    {
        for (const char* name : kVariables) {
            const QByteArray value = m_saved.takeFirst();
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        }
        m_dir.reset();
    }

    void choosesTheDesktopsOwnFirst_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QStringList>("onPath");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("chosen"); // "PROGRAM [ARG]...", or empty for none
        QTest::addColumn<QString>("warning");
        const auto addRow = [](const char* name, const char* desktop, const QStringList& onPath,
                               const QStringList& entries, const char* chosen,
                               const QString& warning = QString()) {
            QTest::newRow(name) << desktop << onPath << entries << chosen << warning;
        };

        const QStringList all{"gnome-calculator", "kcalc",     "qalculate-qt", "qalculate-gtk",
                              "galculator",       "mate-calc", "xcalc"};
        const QStringList qalculate{"gnome-calculator", "qalculate-gtk", "qalculate-qt"};
        const QString abacus(
            "sys1/org.example.Abacus.desktop|Categories=Utility;Calculator;|Exec=");
        const QString flatpak("|Categories=Calculator|Exec=@/apps/flatpak");

        addRow("none named: as before", "", all, {}, "gnome-calculator");
        addRow("none named, all in the menu: as before", "", {},
               {"sys1/galculator.desktop" + flatpak + " galculator",
                "sys1/org.kde.kcalc.desktop" + flatpak + " kcalc",
                "sys2/org.gnome.Calculator.desktop" + flatpak + " gnome"},
               "flatpak [gnome]");
        addRow("KDE", "KDE", all, {}, "kcalc");
        addRow("MATE", "MATE", all, {}, "mate-calc");
        addRow("Xfce", "XFCE", all, {}, "galculator");
        addRow("LXDE: GTK first", "LXDE", qalculate, {}, "qalculate-gtk");
        addRow("LXQt: Qt first", "LXQt", qalculate, {}, "qalculate-qt");
        addRow("Ubuntu's GNOME before another calculator's entry", "ubuntu:GNOME",
               {"kcalc", "gnome-calculator"}, {abacus + "@/apps/flatpak run abacus"},
               "gnome-calculator");
        addRow("Cinnamon, in lower case", "x-cinnamon", {"kcalc", "gnome-calculator"},
               {abacus + "@/apps/flatpak run abacus"}, "gnome-calculator");
        addRow("KDE's Flatpak entry before GNOME's on PATH", "KDE", {"gnome-calculator"},
               {"sys2/org.kde.kcalc.desktop|Exec=@/apps/flatpak run org.kde.kcalc @@u %U @@"},
               "flatpak [run] [org.kde.kcalc] [@@u] [@@]");
        addRow("another desktop: an entry off PATH before PATH", "sway", {"xcalc"},
               {abacus + "@/apps/flatpak run abacus"}, "flatpak [run] [abacus]");
        addRow("same id: the data home first", "", {},
               {abacus + "@/apps/flatpak sys1", "home/org.example.Abacus.desktop" + flatpak},
               "flatpak");
        addRow("same id: the earlier data folder first", "", {},
               {"sys2/org.example.Abacus.desktop" + flatpak, abacus + "@/apps/flatpak sys1"},
               "flatpak [sys1]");
        addRow("Hidden in the data home deletes the entry", "", {"xcalc"},
               {abacus + "@/apps/flatpak",
                "home/org.example.Abacus.desktop" + flatpak + "|Hidden=true"},
               "xcalc");
        addRow("entries the menu would not list, or cannot run", "Sway", {"xcalc"},
               {"sys1/org.gnome.Calculator.desktop" + flatpak + "|NoDisplay=true",
                "sys1/org.kde.kcalc.desktop" + flatpak + "|OnlyShowIn=KDE;",
                "sys1/qalculate-qt.desktop" + flatpak + "|NotShowIn=GNOME;sway;",
                "sys1/qalculate-gtk.desktop" + flatpak + "|TryExec=qalculate-gtk",
                "sys1/galculator.desktop" + flatpak + "|Terminal=true",
                "sys1/mate-calc.desktop|Categories=Utility|Exec=@/apps/flatpak",
                abacus + "@/apps/gone"},
               "xcalc");
        addRow("an Exec that cannot be read", "", {"xcalc"}, {abacus + "@/apps/flatpak \"abacus"},
               "xcalc", "org.example.Abacus.desktop passed over: its Exec line cannot be read");
        const QString vendor("sys1/vendor/org.example.Abacus.desktop" + flatpak);
        addRow("Path, %i and %c", "", {},
               {abacus + "@/apps/flatpak %i %c|Path=@/apps|Name=Abacus Pro|Icon=abacus"},
               "flatpak [--icon] [abacus] [Abacus Pro] in @/apps");
        addRow("a symlinked folder, and a loop in it searched once", "", {},
               {"ln sys1/vendor @/linked", "ln sys1/vendor/loop ..", vendor + " in-link"},
               "flatpak [in-link]");
        addRow("the first desktop named decides: shown", "Bar:Foo", {"xcalc"},
               {abacus + "@/apps/flatpak|OnlyShowIn=Bar;|NotShowIn=Foo;"}, "flatpak");
        addRow("the first desktop named decides: hidden", "Foo:Bar", {"xcalc"},
               {abacus + "@/apps/flatpak|OnlyShowIn=Bar;|NotShowIn=Foo;"}, "xcalc");
        addRow("nothing", "GNOME", {}, {"sys1/editor.desktop|Categories=TextEditor|Exec=ed"}, "");
    }
    void choosesTheDesktopsOwnFirst()
    {
        QFETCH(QString, desktop);
        QFETCH(QStringList, onPath);
        QFETCH(QStringList, entries);
        QFETCH(QString, warning);
        for (const QString& name : onPath) {
            install("bin/" + name);
        }
        for (const QString& entry : entries) {
            addEntry(entry);
        }
        if (!warning.isEmpty()) {
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QRegularExpression::escape(warning)));
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), desktop);

        const auto command = CalculatorFinder(environment).find();

        QString found;
        if (command) {
            found = QFileInfo(command->program).fileName();
            for (const QString& argument : command->arguments) {
                found += " [" + argument + ']';
            }
            if (!command->workingDirectory.isEmpty()) {
                found += " in " + QString(command->workingDirectory).replace(m_dir->path(), "@");
            }
        }
        QTEST(found, "chosen");
    }

    // In its Path, and without the launch data this program was started with.
    void startsAnEntryWithItsArgumentsAndNoShell()
    {
        addEntry(R"(sys2/org.example.Abacus.desktop|Categories=Calculator|Path=@/apps|)"
                 R"(Exec=@/apps/flatpak run "two  words" "\\$HOME" %U)");
        qputenv("DESKTOP_STARTUP_ID", "launcher-1_TIME2");
        qputenv("XDG_ACTIVATION_TOKEN", "token");
        QVERIFY(Platform::create()->startCalculator());
        QTRY_COMPARE_WITH_TIMEOUT(
            readFile(recordPath()),
            "flatpak 3 [run] [two  words] [$HOME] in " + m_dir->path() + "/apps\n", 10000);
    }

    void looksAgainOnEveryStart()
    {
        const std::unique_ptr<Platform> platform = Platform::create();
        QTest::ignoreMessage(QtWarningMsg,
                             "no calculator found: no menu entry in the Calculator category, and "
                             "none of gnome-calculator, kcalc, qalculate-qt, qalculate-gtk, "
                             "galculator, mate-calc, xcalc on PATH");
        QVERIFY(!platform->startCalculator());

        install(QStringLiteral("bin/xcalc"));
        QVERIFY(platform->startCalculator());
        QTRY_COMPARE_WITH_TIMEOUT(readFile(recordPath()), "xcalc 0\n", 10000);
    }

private:
    void install(const QString& name)
    {
        const QString path = m_dir->filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile script(path);
        QVERIFY(script.open(QIODevice::WriteOnly,
                            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        // Only shell built-ins: the stand-in runs with the test's PATH, which holds nothing else.
        script.write(QStringLiteral("#!/bin/sh\n"
                                    "{ printf '%s %d' \"${0##*/}\" \"$#\"\n"
                                    "  for a in \"$@\"; do printf ' [%s]' \"$a\"; done\n"
                                    "  [ \"$PWD\" = '%2' ] || printf ' in %s' \"$PWD\"\n"
                                    "  printf '%s%s' \"${DESKTOP_STARTUP_ID+ DESKTOP_STARTUP_ID}\" "
                                    "\"${XDG_ACTIVATION_TOKEN+ XDG_ACTIVATION_TOKEN}\"\n"
                                    "  printf '\\n'; } >> '%1'\n")
                         .arg(recordPath(), QDir::currentPath())
                         .toUtf8());
    }

    // "FOLDER/ID|KEY=VALUE|...": an application entry; a path "@/..." is in the temporary folder.
    // "ln FOLDER/NAME TARGET": a symbolic link in the applications folder.
    void addEntry(const QString& description)
    {
        QStringList lines =
            QString(description).replace(QLatin1String("@/"), m_dir->path() + u'/').split(u'|');
        const QStringList link = lines.first().split(u' ');
        const QString file = link.value(link.size() == 3 ? 1 : 0);
        const qsizetype slash = file.indexOf(u'/');
        const QString folder = file.left(slash) == u"home" ? ".local/share" : file.left(slash);
        const QString path = m_dir->filePath(folder + "/applications" + file.mid(slash));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (link.size() == 3) {
            QVERIFY(QDir().mkpath(QFileInfo(path).dir().filePath(link[2])));
            QVERIFY(QFile::link(link[2], path));
            return;
        }
        lines.removeFirst();
        QFile entry(path);
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(("[Desktop Entry]\nType=Application\n" + lines.join(u'\n') + u'\n').toUtf8());
    }

    QString recordPath() const { return m_dir->filePath(QStringLiteral("record")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QList<QByteArray> m_saved;
};

QTEST_MAIN(TestCalculatorLaunch)
#include "tst_calculator_launch.moc"
