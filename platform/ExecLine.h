#pragma once

#include <QStringList>
#include <optional>

namespace varneth {

// The command line of a menu entry's Exec key, split into the program and its arguments
// the way the desktop's own launcher would, so it can be started without a shell.
class ExecLine
{
public:
    // Splits a value whose general string escapes (\s, \n, \t, \r, \\) are already undone:
    // arguments are separated by blanks, a double-quoted argument keeps its blanks and takes
    // \" \` \$ \\ for those four characters, and the field codes, which stand for files,
    // URLs, the icon, the name and the entry's location, are dropped, %% standing for a
    // percent sign. nullopt for a line the desktop entry rules reject: an unterminated
    // quote, a character that must be quoted standing bare, a stray backslash, an unknown
    // field code, or no program at all.
    static std::optional<QStringList> split(QStringView exec);
};

} // namespace varneth
