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
    // \" \` \$ \\ for those four characters. Of the field codes, %c becomes the entry's
    // name and %i, standing alone, the two arguments --icon and the entry's icon (none
    // without an icon); the others, which stand for files, URLs and the entry's location,
    // are dropped, %% standing for a percent sign. nullopt for a line the desktop entry rules
    // reject: an unterminated quote, a character that must be quoted standing bare, a stray
    // backslash, an unknown field code, or no program at all.
    static std::optional<QStringList> split(QStringView exec, const QString& name = {},
                                            const QString& icon = {});
};

} // namespace varneth
