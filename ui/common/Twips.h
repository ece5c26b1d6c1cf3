#pragma once

#include <QRect>
#include <QRectF>

namespace varneth {

// Layout and stored geometry are in twips, 1440 to the inch. Widgets are placed in
// device-independent pixels at the screen's logical DPI, so the layout scales with it.
class Twips
{
public:
    static constexpr double kPerInch = 1440.0;

    static int toPixels(double twips, double dpi);
    static double fromPixels(double pixels, double dpi);
    // Converts edges rather than sizes, so neighbouring controls never drift apart.
    static QRect toPixels(const QRect& twips, double dpi);
    static QRectF fromPixels(const QRect& pixels, double dpi);
    // The logical DPI of the primary screen, 96 when there is none.
    static double screenDpi();
};

} // namespace varneth
