#pragma once

#include "FieldBinding.h"

#include <QLineEdit>
#include <array>

namespace varneth {

// Binds the valuation fields to the live text boxes of the main window: reading a field
// reads what its box shows this instant, and writing it changes the box.
class LineEditFieldBinding : public FieldBinding
{
public:
    void bind(ValuationField field, QLineEdit* edit);

    QString text(ValuationField field) const override;
    // A rewrite with the text the box already shows leaves it untouched, so a selection
    // in a result field survives the once-a-second recalculation.
    void setText(ValuationField field, const QString& text) override;

private:
    std::array<QLineEdit*, 6> m_edits{};
};

} // namespace varneth
