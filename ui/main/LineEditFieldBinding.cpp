#include "LineEditFieldBinding.h"

namespace varneth {

void LineEditFieldBinding::bind(ValuationField field, QLineEdit* edit)
{
    m_edits.at(static_cast<std::size_t>(field)) = edit;
}

QString LineEditFieldBinding::text(ValuationField field) const
{
    return m_edits.at(static_cast<std::size_t>(field))->text();
}

void LineEditFieldBinding::setText(ValuationField field, const QString& text)
{
    QLineEdit* edit = m_edits.at(static_cast<std::size_t>(field));
    if (edit->text() != text) {
        edit->setText(text);
    }
}

} // namespace varneth
