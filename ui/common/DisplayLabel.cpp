#include "DisplayLabel.h"

#include "BgrColor.h"

#include <QLabel>

namespace varneth {

void DisplayLabel::style(QLabel& label, const QString& tooltip)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, BgrColor::fromBgr(0x00000000));     // black
    palette.setColor(QPalette::WindowText, BgrColor::fromBgr(0x0000FF00)); // green
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.setAlignment(Qt::AlignCenter);
    label.setFrameShape(QFrame::Box);
    label.setFrameShadow(QFrame::Plain);
    label.setToolTip(tooltip);
}

} // namespace varneth
