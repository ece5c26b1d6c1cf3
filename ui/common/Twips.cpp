#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace varneth {

int Twips::toPixels(double twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / kPerInch));
}

double Twips::fromPixels(int pixels, double dpi)
{
    return pixels * kPerInch / dpi;
}

QRect Twips::rect(int left, int top, int width, int height, double dpi)
{
    const int x0 = toPixels(left, dpi);
    const int y0 = toPixels(top, dpi);
    const int x1 = toPixels(left + width, dpi);
    const int y1 = toPixels(top + height, dpi);
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

double Twips::screenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 0.0;
    return dpi > 0.0 ? dpi : 96.0;
}

} // namespace varneth
