#pragma once

#include <QHash>
#include <QProcessEnvironment>
#include <QStringList>
#include <optional>

namespace varneth {

// Chooses the calculator to start from the environment it is given, in this order:
//  1. the running desktop's own calculator (XDG_CURRENT_DESKTOP), by its menu entry or on
//     PATH: kcalc on KDE; gnome-calculator on GNOME and the desktops built on it; mate-calc
//     on MATE; galculator and then Qalculate on Xfce, LXDE and LXQt;
//  2. a menu entry in the Calculator category, which is where Flatpak and Snap leave the
//     only trace of theirs; the calculators of step 3 before any other, in that order;
//  3. the first of gnome-calculator, kcalc, qalculate-qt, qalculate-gtk, galculator,
//     mate-calc and xcalc on PATH.
// Menu entries are looked up in $XDG_DATA_HOME/applications, then in each
// $XDG_DATA_DIRS/applications. Of entries with the same desktop-file id the first one
// found counts, and an entry the desktop would not list (Hidden, NoDisplay, OnlyShowIn,
// NotShowIn, a TryExec that is not installed) or could not run is passed over. A finder
// looks once: make a new one to look again.
class CalculatorFinder
{
public:
    // What to start: the program's full path and its arguments.
    struct Command
    {
        QString program;
        QStringList arguments;
        // The menu entry it comes from, or empty when it was found on PATH.
        QString entryPath;
        // Where it runs: the entry's Path, or empty for where this program runs.
        QString workingDirectory;
    };

    explicit CalculatorFinder(const QProcessEnvironment& environment);

    std::optional<Command> find();

    // The calculators of step 3, the preferred first.
    static QStringList pathNames();

private:
    struct IndexedEntry
    {
        QString id;
        QString path;
    };

    void indexMenuEntries(const QProcessEnvironment& environment);
    std::optional<Command> desktopCalculator();
    std::optional<Command> calculatorEntry();
    std::optional<Command> fromEntryId(const QString& id);
    std::optional<Command> fromEntry(qsizetype index);
    std::optional<Command> onPath(const QString& name) const;
    QString executable(const QString& program) const;

    QStringList m_desktops;
    QStringList m_path;
    // Every menu entry that counts, one per desktop-file id, in the order of the data
    // folders and, within one, of the ids.
    QList<IndexedEntry> m_entries;
    QHash<QString, qsizetype> m_entryById;
    // What fromEntry() made of each entry it has looked at, so each is read and
    // reported once.
    QHash<qsizetype, std::optional<Command>> m_commands;
};

} // namespace varneth
