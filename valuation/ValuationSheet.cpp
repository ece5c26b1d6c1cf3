#include "ValuationSheet.h"

#include <utility>

namespace varneth {

ValuationSheet::ValuationSheet(FieldBinding& fields, QLocale locale)
    : m_fields(fields), m_locale(std::move(locale))
{
}

QString ValuationSheet::text(ValuationField field) const
{
    return m_fields.text(field);
}

void ValuationSheet::setText(ValuationField field, const QString& text)
{
    m_fields.setText(field, text);
}

void ValuationSheet::recalculate() {}

} // namespace varneth
