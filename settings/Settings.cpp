#include "Settings.h"

#include "NumberText.h"
#include "SettingsKeyTable.h"
#include "SettingsLog.h"

#include <cmath>
#include <optional>

namespace varneth {

namespace {

using namespace Qt::StringLiterals;

// Enough to recognise the text in the warning; a hand-edited file may hold megabytes.
constexpr qsizetype shownLength = 64;

// The stored text as one short line for the warning.
QString shownText(const QString& text)
{
    QString shown;
    for (const QChar c : QStringView(text).first(std::min(text.size(), shownLength))) {
        if (c == u'\n')
            shown += u"\\n"_s;
        else if (c == u'\r')
            shown += u"\\r"_s;
        else if (c == u'\t')
            shown += u"\\t"_s;
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            shown += u'?';
        else
            shown += c;
    }
    if (text.size() > shownLength)
        shown += u"... (%1 characters)"_s.arg(text.size());
    return shown;
}

// Reads a key through a conversion; a stored text that does not convert, or whose number
// the caller cannot use (only an edit from outside the program leaves either), gives the
// key's default, with one line saying so.
template <typename Number, typename Convert>
Number readNumber(const SettingsStore& store, SettingsKey key, SettingsKeyTable::Reading reading,
                  const QLocale& locale, Convert convert,
                  const std::function<bool(Number)>& usable = {})
{
    const SettingsKeyTable::Entry& entry = SettingsKeyTable::entry(key);
    // Reading a key through another conversion than the table's is a slip in the caller.
    Q_ASSERT_X(entry.reading == reading, "Settings", "key read through the wrong conversion");
    const QString defaultText = entry.defaultText.toString();
    const QString text = store.read(SettingsKeyTable::section, entry.name, defaultText);
    std::optional<Number> value = convert(text, locale);
    // An infinite or not-a-number geometry or tick state is as useless as no number.
    if (value && std::isfinite(static_cast<double>(*value)) && (!usable || usable(*value)))
        return *value;

    // The defaults are plain digits, readable in every locale that reads Latin digits;
    // the C locale reads them in any case.
    std::optional<Number> fallback = convert(defaultText, QLocale::c());
    qCWarning(lcSettings).noquote()
        << u"the setting %1 holds \"%2\", which is not a usable number; using its default %3"_s.arg(
               entry.name.toString(), shownText(text), fallback ? defaultText : u"0"_s);
    return fallback.value_or(Number{});
}

} // namespace

Settings::Settings(SettingsStore& store, QLocale locale)
    : m_store(store), m_locale(std::move(locale))
{
}

QString Settings::keyName(SettingsKey key)
{
    return SettingsKeyTable::entry(key).name.toString();
}

QString Settings::defaultText(SettingsKey key)
{
    return SettingsKeyTable::entry(key).defaultText.toString();
}

QString Settings::readText(SettingsKey key) const
{
    const SettingsKeyTable::Entry& entry = SettingsKeyTable::entry(key);
    return m_store.read(SettingsKeyTable::section, entry.name, entry.defaultText.toString());
}

float Settings::readSingle(SettingsKey key, const std::function<bool(float)>& usable) const
{
    return readNumber<float>(
        m_store, key, SettingsKeyTable::Reading::Single, m_locale,
        [](const QString& text, const QLocale& l) { return NumberText::localeSingle(text, l); },
        usable);
}

double Settings::readDouble(SettingsKey key) const
{
    return readNumber<double>(
        m_store, key, SettingsKeyTable::Reading::Tick, m_locale,
        [](const QString& text, const QLocale& l) { return NumberText::localeDouble(text, l); });
}

qint16 Settings::readInteger(SettingsKey key) const
{
    return readNumber<qint16>(
        m_store, key, SettingsKeyTable::Reading::Tick, m_locale,
        [](const QString& text, const QLocale& l) { return NumberText::localeInteger(text, l); });
}

SettingsStore::WriteResult Settings::writeText(SettingsKey key, const QString& text)
{
    return m_store.write(SettingsKeyTable::section, SettingsKeyTable::entry(key).name, text);
}

SettingsStore::WriteResult Settings::writeSingle(SettingsKey key, float value)
{
    return writeText(key, NumberText::singleText(value, m_locale));
}

SettingsStore::WriteResult Settings::writeInteger(SettingsKey key, qint16 value)
{
    return writeText(key, NumberText::integerText(value, m_locale));
}

} // namespace varneth
