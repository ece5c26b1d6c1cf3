#include "WrappedCaptionButton.h"

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

    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) / 2;
    const QRect textRect = style()
                               ->subElementRect(QStyle::SE_PushButtonContents, &option, this)
                               .adjusted(margin, 0, -margin, 0);
    painter.drawItemText(textRect, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(),
                         text(), QPalette::ButtonText);
}

} // namespace varneth
