#include "ProgramFont.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>

namespace varneth {

namespace {

// Quarter points, down to a size that is still a caption.
constexpr qreal kSizeStep = 0.25;
constexpr qreal kSmallestSize = 4.0;

QString captionOf(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    return {};
}

bool captionFits(const QWidget& control, const QFont& font, const QString& caption, int textFlags)
{
    const QRect room = ProgramFont::captionRoom(control, font);
    const QRect used =
        QFontMetrics(font, &control).boundingRect(room, int(Qt::AlignCenter) | textFlags, caption);
    return used.width() <= room.width() && used.height() <= room.height();
}

} // namespace

QFont ProgramFont::make(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void ProgramFont::fitCaption(QWidget& control, const QFont& font, int textFlags)
{
    const QString caption = captionOf(control);
    QFont fitted = font;
    while (!captionFits(control, fitted, caption, textFlags) &&
           fitted.pointSizeF() - kSizeStep >= kSmallestSize) {
        fitted.setPointSizeF(fitted.pointSizeF() - kSizeStep);
    }
    control.setFont(fitted);
}

QRect ProgramFont::captionRoom(const QWidget& control, const QFont& font)
{
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const int margin =
            button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button) / 2;
        return button->style()
            ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
            .adjusted(margin, 0, -margin, 0);
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = QStringLiteral(" "); // a caption, so the style counts its spacing
        const QSize around =
            box->style()->sizeFromContents(QStyle::CT_CheckBox, &option, QSize(0, 0), box);
        return QRect(0, 0, box->width() - around.width(), box->height());
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        const int indent =
            label->frameWidth() > 0 ? QFontMetrics(font, label).horizontalAdvance(u'x') / 2 : 0;
        const int margin = label->margin();
        return label->contentsRect().adjusted(margin + indent, margin, -margin - indent, -margin);
    }
    return control.rect();
}

} // namespace varneth
