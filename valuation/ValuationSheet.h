#pragma once

#include "FieldBinding.h"

#include <QLocale>

namespace varneth {

// The six texts of the value row and the rule that turns the three inputs into the
// three results. It holds no numbers between calculations.
class ValuationSheet
{
public:
    explicit ValuationSheet(FieldBinding& fields, QLocale locale = QLocale::system());

    QString text(ValuationField field) const;
    void setText(ValuationField field, const QString& text);

    // Reads the three inputs and rewrites the three results, every call.
    void recalculate();

private:
    FieldBinding& m_fields;
    QLocale m_locale;
};

} // namespace varneth
