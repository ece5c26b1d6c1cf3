#include "ProgramFont.h"

#include <QStringList>
#include <QWidget>

namespace varneth {

QFont ProgramFont::make(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void ProgramFont::fitCaption(QWidget& control)
{
    if (control.sizeHint().width() <= control.width()) {
        return;
    }
    QFont font = control.font();
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Liberation Sans")});
    control.setFont(font);
}

} // namespace varneth
