#include "LightBackground.h"

#include "BgrColor.h"

#include <QWidget>

namespace varneth {

namespace {

const QColor kText = BgrColor::fromBgr(0x00000000);        // the standard window text, black
const QColor kPlaceholder = BgrColor::fromBgr(0x005F5F5F); // over 5:1 on white and on cyan
const QColor kSelection = BgrColor::fromBgr(0x00800000);   // the standard highlight, navy
const QColor kSelectedText = BgrColor::fromBgr(0x00FFFFFF);

} // namespace

void LightBackground::apply(QWidget& widget, QPalette::ColorRole role, quint32 bgr)
{
    QPalette palette = widget.palette();
    palette.setColor(role, BgrColor::fromBgr(bgr));
    palette.setColor(role == QPalette::Base ? QPalette::Text : QPalette::WindowText, kText);
    palette.setColor(QPalette::PlaceholderText, kPlaceholder);
    palette.setColor(QPalette::Highlight, kSelection);
    palette.setColor(QPalette::HighlightedText, kSelectedText);
    widget.setPalette(palette);
    if (role == QPalette::Window) {
        widget.setAutoFillBackground(true);
    }
}

} // namespace varneth
