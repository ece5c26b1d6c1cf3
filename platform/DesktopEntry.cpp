#include "DesktopEntry.h"

#include <QFile>

namespace varneth {

namespace {

// Menu entries are a few kilobytes; anything far larger is not one, and is not read whole.
constexpr qint64 kMaxSize = 1 << 20;

// Undoes the escapes of a string value. Any other backslash stays as it is: Exec's quoting
// has escapes of its own, which are undone after these.
QString unescape(QStringView value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        // \s \n \t \r \\ stand for these.
        const qsizetype escape = QStringView(u"sntr\\").indexOf(value[++i]);
        if (escape >= 0) {
            result += QStringView(u" \n\t\r\\")[escape];
        } else {
            result += u'\\';
            result += value[i];
        }
    }
    return result;
}

// A list value: elements end with a semicolon, which \; stands for inside one.
QStringList unescapeList(QStringView value)
{
    QStringList result;
    QString element;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size() && value[i + 1] == u';') {
            element += u';';
            ++i;
        } else if (value[i] == u';') {
            result.append(unescape(element));
            element.clear();
        } else {
            element += value[i];
        }
    }
    result.append(unescape(element));
    result.removeAll(QString());
    return result;
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::read(const QString& path)
{
    QFile file(path);
    if (file.size() > kMaxSize || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return parse(QString::fromUtf8(file.read(kMaxSize)));
}

std::optional<DesktopEntry> DesktopEntry::parse(const QString& text)
{
    DesktopEntry entry;
    bool found = false;
    bool inGroup = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[')) {
            if (found) {
                break;
            }
            inGroup = found = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals < 0) {
            continue;
        }
        const QStringView key = line.left(equals).trimmed();
        const QStringView value = line.mid(equals + 1).trimmed();
        if (key == u"Type") {
            entry.type = unescape(value);
        } else if (key == u"Exec") {
            entry.exec = unescape(value);
        } else if (key == u"TryExec") {
            entry.tryExec = unescape(value);
        } else if (key == u"Name") {
            entry.name = unescape(value);
        } else if (key == u"Icon") {
            entry.icon = unescape(value);
        } else if (key == u"Path") {
            entry.path = unescape(value);
        } else if (key == u"Hidden") {
            entry.hidden = value == u"true";
        } else if (key == u"NoDisplay") {
            entry.noDisplay = value == u"true";
        } else if (key == u"Terminal") {
            entry.terminal = value == u"true";
        } else if (key == u"OnlyShowIn") {
            entry.onlyShowIn = unescapeList(value);
        } else if (key == u"NotShowIn") {
            entry.notShowIn = unescapeList(value);
        } else if (key == u"Categories") {
            entry.categories = unescapeList(value);
        }
    }
    if (!found) {
        return std::nullopt;
    }
    return entry;
}

bool DesktopEntry::isShownOn(const QStringList& desktops) const
{
    if (hidden || noDisplay) {
        return false;
    }
    for (const QString& desktop : desktops) {
        if (onlyShowIn.contains(desktop, Qt::CaseInsensitive)) {
            return true;
        }
        if (notShowIn.contains(desktop, Qt::CaseInsensitive)) {
            return false;
        }
    }
    return onlyShowIn.isEmpty();
}

} // namespace varneth
