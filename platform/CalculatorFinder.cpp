#include "CalculatorFinder.h"

#include "DesktopEntry.h"
#include "ExecLine.h"
#include "PlatformLog.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <map>

using namespace Qt::StringLiterals;

namespace varneth {

namespace {

struct KnownCalculator
{
    QLatin1StringView program;
    // Its menu entries' desktop-file ids: as distributions install it, then an older or
    // Flatpak name, then Snap's.
    std::array<QLatin1StringView, 3> ids;
};

// In the order of the PATH search.
constexpr std::array<KnownCalculator, 7> kKnown{{
    {"gnome-calculator"_L1,
     {"org.gnome.Calculator.desktop"_L1, "gnome-calculator.desktop"_L1,
      "gnome-calculator_gnome-calculator.desktop"_L1}},
    {"kcalc"_L1, {"org.kde.kcalc.desktop"_L1, "kcalc.desktop"_L1, "kcalc_kcalc.desktop"_L1}},
    {"qalculate-qt"_L1, {"io.github.Qalculate.qalculate-qt.desktop"_L1, "qalculate-qt.desktop"_L1}},
    {"qalculate-gtk"_L1, {"qalculate-gtk.desktop"_L1, "io.github.Qalculate.desktop"_L1}},
    {"galculator"_L1, {"galculator.desktop"_L1}},
    {"mate-calc"_L1, {"mate-calc.desktop"_L1}},
    {"xcalc"_L1, {}},
}};

struct DesktopCalculators
{
    // The names the desktop gives itself in XDG_CURRENT_DESKTOP.
    std::array<QLatin1StringView, 5> names;
    // Its own calculators, the preferred first.
    std::array<QLatin1StringView, 3> programs;
};

// Cinnamon, Unity, Budgie and Pantheon are built on GNOME and ship no calculator of their
// own or use GNOME's. A desktop that names itself first and GNOME after (ubuntu:GNOME,
// GNOME-Flashback:GNOME) is found by the GNOME element. GTK comes before Qt on the GTK
// desktops Xfce and LXDE, Qt first on LXQt.
constexpr std::array<DesktopCalculators, 5> kDesktops{{
    {{"KDE"_L1}, {"kcalc"_L1}},
    {{"GNOME"_L1, "X-Cinnamon"_L1, "Unity"_L1, "Budgie"_L1, "Pantheon"_L1},
     {"gnome-calculator"_L1}},
    {{"MATE"_L1}, {"mate-calc"_L1}},
    {{"XFCE"_L1, "LXDE"_L1}, {"galculator"_L1, "qalculate-gtk"_L1, "qalculate-qt"_L1}},
    {{"LXQt"_L1}, {"galculator"_L1, "qalculate-qt"_L1, "qalculate-gtk"_L1}},
}};

// The absolute folders of a colon-separated list; relative ones are invalid there.
QStringList absoluteFolders(const QString& list)
{
    QStringList result;
    for (const QString& folder : list.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder)) {
            result.append(folder);
        }
    }
    return result;
}

const KnownCalculator* known(QLatin1StringView program)
{
    for (const KnownCalculator& calculator : kKnown) {
        if (calculator.program == program) {
            return &calculator;
        }
    }
    return nullptr;
}

// The menu entries in folder and its subfolders, by id relative to applications. A
// symlinked subfolder is searched as the desktop's launcher searches it; a folder reached
// again (a link to a folder already searched, a loop) is searched once.
void collectEntries(const QDir& applications, const QString& folder, QSet<QString>& visited,
                    std::map<QString, QString>& found)
{
    const QDir dir(folder);
    if (visited.contains(dir.canonicalPath()) || !dir.exists()) {
        return;
    }
    visited.insert(dir.canonicalPath());
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.desktop")}, QDir::Files)) {
        found.emplace(applications.relativeFilePath(file.filePath()).replace(u'/', u'-'),
                      file.filePath());
    }
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        collectEntries(applications, dir.filePath(name), visited, found);
    }
}

// Where an entry stands among the calculators of the PATH search; after all of them when
// it is none of them.
qsizetype rankOf(const QString& id)
{
    for (qsizetype rank = 0; rank < qsizetype(kKnown.size()); ++rank) {
        const auto& ids = kKnown[rank].ids;
        if (std::find(ids.begin(), ids.end(), id) != ids.end()) {
            return rank;
        }
    }
    return kKnown.size();
}

} // namespace

CalculatorFinder::CalculatorFinder(const QProcessEnvironment& environment)
    : m_desktops(
          environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(u':', Qt::SkipEmptyParts)),
      m_path(absoluteFolders(environment.value(QStringLiteral("PATH"))))
{
    indexMenuEntries(environment);
}

QStringList CalculatorFinder::pathNames()
{
    QStringList names;
    for (const KnownCalculator& calculator : kKnown) {
        names.append(calculator.program);
    }
    return names;
}

void CalculatorFinder::indexMenuEntries(const QProcessEnvironment& environment)
{
    QStringList dataFolders;
    QString home = environment.value(QStringLiteral("XDG_DATA_HOME"));
    if (!QDir::isAbsolutePath(home)) {
        const QString userHome = environment.value(QStringLiteral("HOME"));
        home =
            QDir::isAbsolutePath(userHome) ? userHome + QLatin1String("/.local/share") : QString();
    }
    if (!home.isEmpty()) {
        dataFolders.append(home);
    }
    QStringList system = absoluteFolders(environment.value(QStringLiteral("XDG_DATA_DIRS")));
    if (system.isEmpty()) {
        system = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    }
    dataFolders += system;

    for (const QString& folder : std::as_const(dataFolders)) {
        const QDir applications(folder + QLatin1String("/applications"));
        // An entry in a subfolder has the subfolder in its id: kde/kcalc.desktop is
        // kde-kcalc.desktop.
        std::map<QString, QString> inFolder;
        QSet<QString> visited;
        collectEntries(applications, applications.path(), visited, inFolder);
        for (const auto& [id, path] : inFolder) {
            if (!m_entryById.contains(id)) {
                m_entryById.insert(id, m_entries.size());
                m_entries.append({id, path});
            }
        }
    }
}

std::optional<CalculatorFinder::Command> CalculatorFinder::find()
{
    if (std::optional<Command> command = desktopCalculator()) {
        return command;
    }
    if (std::optional<Command> command = calculatorEntry()) {
        return command;
    }
    for (const KnownCalculator& calculator : kKnown) {
        if (std::optional<Command> command = onPath(calculator.program)) {
            return command;
        }
    }
    return std::nullopt;
}

std::optional<CalculatorFinder::Command> CalculatorFinder::desktopCalculator()
{
    // The most specific name the table knows decides.
    for (const QString& name : std::as_const(m_desktops)) {
        for (const DesktopCalculators& desktop : kDesktops) {
            const bool named = std::any_of(
                desktop.names.begin(), desktop.names.end(), [&](QLatin1StringView known) {
                    return !known.isEmpty() && name.compare(known, Qt::CaseInsensitive) == 0;
                });
            if (!named) {
                continue;
            }
            for (QLatin1StringView program : desktop.programs) {
                const KnownCalculator* calculator = known(program);
                if (!calculator) {
                    continue;
                }
                for (QLatin1StringView id : calculator->ids) {
                    if (std::optional<Command> command = fromEntryId(id)) {
                        return command;
                    }
                }
                if (std::optional<Command> command = onPath(program)) {
                    return command;
                }
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<CalculatorFinder::Command> CalculatorFinder::calculatorEntry()
{
    std::optional<Command> best;
    qsizetype bestRank = kKnown.size() + 1;
    for (qsizetype index = 0; index < m_entries.size() && bestRank > 0; ++index) {
        const qsizetype rank = rankOf(m_entries[index].id);
        if (rank >= bestRank) {
            continue;
        }
        const std::optional<DesktopEntry> entry = DesktopEntry::read(m_entries[index].path);
        if (!entry || !entry->categories.contains(QLatin1String("Calculator"))) {
            continue;
        }
        if (std::optional<Command> command = fromEntry(index)) {
            best = std::move(command);
            bestRank = rank;
        }
    }
    return best;
}

std::optional<CalculatorFinder::Command> CalculatorFinder::fromEntryId(const QString& id)
{
    const auto found = m_entryById.constFind(id);
    return found == m_entryById.cend() ? std::nullopt : fromEntry(*found);
}

std::optional<CalculatorFinder::Command> CalculatorFinder::fromEntry(qsizetype index)
{
    if (const auto done = m_commands.constFind(index); done != m_commands.cend()) {
        return *done;
    }
    std::optional<Command>& command = m_commands[index];
    const QString& path = m_entries[index].path;
    const std::optional<DesktopEntry> entry = DesktopEntry::read(path);
    // A program meant for a terminal would run unseen without one.
    if (!entry || entry->type != u"Application" || entry->terminal || entry->exec.isEmpty() ||
        !entry->isShownOn(m_desktops) ||
        (!entry->tryExec.isEmpty() && executable(entry->tryExec).isEmpty())) {
        return command;
    }
    std::optional<QStringList> arguments = ExecLine::split(entry->exec, entry->name, entry->icon);
    if (!arguments) {
        qCWarning(lcPlatform).noquote()
            << "menu entry" << path << "passed over: its Exec line cannot be read:" << entry->exec;
        return command;
    }
    const QString program = executable(arguments->takeFirst());
    if (!program.isEmpty()) {
        command = Command{program, *arguments, path, entry->path};
    }
    return command;
}

std::optional<CalculatorFinder::Command> CalculatorFinder::onPath(const QString& name) const
{
    const QString program = executable(name);
    if (program.isEmpty()) {
        return std::nullopt;
    }
    return Command{program, {}, {}, {}};
}

QString CalculatorFinder::executable(const QString& program) const
{
    if (program.contains(u'/')) {
        const QFileInfo file(program);
        return file.isAbsolute() && file.isFile() && file.isExecutable() ? program : QString();
    }
    // Given no folders, findExecutable() would search this process's own PATH instead.
    return m_path.isEmpty() ? QString() : QStandardPaths::findExecutable(program, m_path);
}

} // namespace varneth
