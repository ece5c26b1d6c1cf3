#pragma once

#include <QColor>
#include <QtGlobal>

namespace varneth {

// Colours are written as &H00BBGGRR: the lowest byte is red, then green, then blue.
class BgrColor
{
public:
    static QColor fromBgr(quint32 bgr)
    {
        return QColor::fromRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                               static_cast<int>((bgr >> 16) & 0xFF));
    }
};

} // namespace varneth
