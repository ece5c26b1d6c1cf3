#include "ExecLine.h"

namespace varneth {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// What a shell would make something of: an argument holding one must be quoted. Blanks
// count too, but bare they only separate arguments.
bool mustBeQuoted(QChar c)
{
    return QStringView(u"\"'\\><~|&;$*?#()`").contains(c);
}

// The characters a backslash escapes inside quotes, and the only ones it may precede.
bool isQuoteEscapable(QChar c)
{
    return QStringView(u"\"`$\\").contains(c);
}

// Files, URLs, the icon, the translated name, the entry's own location and the codes
// desktops no longer use. A calculator is started with no file or URL; the name and the
// icon are the entry's own (expandFieldCodes).
bool isFieldCode(QChar c)
{
    return QStringView(u"fFuUickdDnNvm").contains(c);
}

// The text of one argument with %c made the entry's name, the other field codes dropped
// and %% made a percent sign; nullopt for a percent sign that starts no known code.
// codesOnly tells whether the argument consisted of field codes alone that stood for
// nothing, and so is no argument at all.
std::optional<QString> expandFieldCodes(const QString& argument, const QString& name,
                                        bool& codesOnly)
{
    QString result;
    bool anyCode = false;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] != u'%') {
            result += argument[i];
            continue;
        }
        if (++i == argument.size()) {
            return std::nullopt;
        }
        if (argument[i] == u'%') {
            result += u'%';
        } else if (isFieldCode(argument[i])) {
            anyCode = true;
            if (argument[i] == u'c') {
                result += name;
            }
        } else {
            return std::nullopt;
        }
    }
    codesOnly = anyCode && result.isEmpty();
    return result;
}

} // namespace

std::optional<QStringList> ExecLine::split(QStringView exec, const QString& name,
                                           const QString& icon)
{
    QStringList arguments;
    const qsizetype size = exec.size();
    qsizetype i = 0;
    for (;;) {
        while (i < size && isBlank(exec[i])) {
            ++i;
        }
        if (i == size) {
            break;
        }
        QString argument;
        if (exec[i] == u'"') {
            // A quoted argument is quoted whole: the closing quote ends it.
            for (++i;; ++i) {
                if (i == size) {
                    return std::nullopt;
                }
                const QChar c = exec[i];
                if (c == u'"') {
                    ++i;
                    break;
                }
                if (c == u'\\') {
                    if (++i == size || !isQuoteEscapable(exec[i])) {
                        return std::nullopt;
                    }
                    argument += exec[i];
                } else if (c == u'`' || c == u'$') {
                    return std::nullopt;
                } else {
                    argument += c;
                }
            }
            if (i < size && !isBlank(exec[i])) {
                return std::nullopt;
            }
        } else {
            for (; i < size && !isBlank(exec[i]); ++i) {
                if (mustBeQuoted(exec[i])) {
                    return std::nullopt;
                }
                argument += exec[i];
            }
        }
        // %i standing alone is two arguments, or none for an entry without an icon.
        if (argument == u"%i") {
            if (!icon.isEmpty()) {
                arguments.append({QStringLiteral("--icon"), icon});
            }
            continue;
        }
        bool codesOnly = false;
        std::optional<QString> expanded = expandFieldCodes(argument, name, codesOnly);
        if (!expanded) {
            return std::nullopt;
        }
        if (!codesOnly) {
            arguments.append(*expanded);
        }
    }
    // The program's name may not hold an equal sign: that would be an assignment.
    if (arguments.isEmpty() || arguments.first().isEmpty() || arguments.first().contains(u'=')) {
        return std::nullopt;
    }
    return arguments;
}

} // namespace varneth
