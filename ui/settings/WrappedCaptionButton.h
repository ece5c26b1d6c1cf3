#pragma once

#include <QPushButton>

namespace varneth {

// A push button whose caption wraps onto further lines when it is wider than the
// button, as a plain QPushButton never does. text() stays the whole caption.
class WrappedCaptionButton : public QPushButton
{
    Q_OBJECT

public:
    WrappedCaptionButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace varneth
