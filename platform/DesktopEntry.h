#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace varneth {

// What a menu entry (a .desktop file) says about starting its program: the keys of its
// [Desktop Entry] group that decide whether and how to start it. Localised keys, other
// groups and other keys are passed over.
struct DesktopEntry
{
    QString type;
    // Exec and TryExec with the general escapes (\s \n \t \r \\) undone; Exec's own quoting
    // is ExecLine's to undo.
    QString exec;
    QString tryExec;
    // Name and Icon, unlocalised, for Exec's %c and %i; Path, the working directory.
    QString name;
    QString icon;
    QString path;
    bool hidden = false;
    bool noDisplay = false;
    bool terminal = false;
    QStringList onlyShowIn;
    QStringList notShowIn;
    QStringList categories;

    // The entry in the file; nullopt for a file that cannot be read, is too large to be a
    // menu entry, or has no [Desktop Entry] group.
    static std::optional<DesktopEntry> read(const QString& path);
    static std::optional<DesktopEntry> parse(const QString& text);

    // Whether the menu of a desktop with these names (XDG_CURRENT_DESKTOP, most specific
    // first) lists it: not deleted by Hidden, not kept out by NoDisplay, and allowed by
    // OnlyShowIn and NotShowIn. The first of the desktop's names that either list holds
    // decides, as GLib weighs them; none named, only an entry without OnlyShowIn is
    // listed. Desktop names compare without regard to case.
    bool isShownOn(const QStringList& desktops) const;
};

} // namespace varneth
