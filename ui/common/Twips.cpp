#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace varneth {

int Twips::toPixels(double twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / kPerInch));
}

double Twips::fromPixels(double pixels, double dpi)
{
    return pixels * kPerInch / dpi;
}

QRect Twips::toPixels(const QRect& twips, double dpi)
{
    const int x0 = toPixels(twips.x(), dpi);
    const int y0 = toPixels(twips.y(), dpi);
    const int x1 = toPixels(twips.x() + twips.width(), dpi);
    const int y1 = toPixels(twips.y() + twips.height(), dpi);
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

QRectF Twips::fromPixels(const QRect& pixels, double dpi)
{
    return QRectF(fromPixels(pixels.x(), dpi), fromPixels(pixels.y(), dpi),
                  fromPixels(pixels.width(), dpi), fromPixels(pixels.height(), dpi));
}

double Twips::screenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 0.0;
    return dpi > 0.0 ? dpi : 96.0;
}

} // namespace varneth
