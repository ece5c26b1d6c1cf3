#include "WrappedCaptionButton.h"

#include "ProgramFont.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace varneth {

WrappedCaptionButton::WrappedCaptionButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
}

void WrappedCaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear(); // the bevel and focus frame without the caption
    painter.drawControl(QStyle::CE_PushButton, option);

    painter.drawItemText(ProgramFont::captionRoom(*this, font()),
                         Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
}

} // namespace varneth
