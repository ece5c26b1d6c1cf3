#pragma once

#include "ValuationField.h"

#include <QString>

namespace varneth {

// Where the six field texts live. The main window binds them to its text boxes, so a
// read sees what the box shows right now, half-typed input included; tests bind plain
// strings.
class FieldBinding
{
public:
    virtual ~FieldBinding() = default;
    virtual QString text(ValuationField field) const = 0;
    virtual void setText(ValuationField field, const QString& text) = 0;
};

} // namespace varneth
