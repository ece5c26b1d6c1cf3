#include "WindowGeometry.h"

#include "Settings.h"
#include "Twips.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace varneth {

namespace {

constexpr int kMaxPixels = 16384;

int clampedPixels(double twips, double dpi, int minimum)
{
    if (!std::isfinite(twips)) {
        return minimum;
    }
    const double pixels = twips * dpi / Twips::kPerInch;
    return static_cast<int>(std::lround(std::clamp(pixels, double(minimum), double(kMaxPixels))));
}

bool onSomeScreen(const QRect& frame)
{
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&](const QScreen* s) { return s->geometry().intersects(frame); });
}

} // namespace

QSize WindowGeometry::clientPixels(float outerWidth, float outerHeight, double dpi)
{
    return QSize(clampedPixels(double(outerWidth) - kFrameWidthTwips, dpi, 1),
                 clampedPixels(double(outerHeight) - kFrameHeightTwips, dpi, 1));
}

QPoint WindowGeometry::framePixels(float left, float top, double dpi)
{
    return QPoint(clampedPixels(left, dpi, -kMaxPixels), clampedPixels(top, dpi, -kMaxPixels));
}

void WindowGeometry::apply(QWidget& window, const TwipsGeometry& geometry, double dpi)
{
    const QSize client = clientPixels(geometry.width, geometry.height, dpi);
    QPoint position = framePixels(geometry.left, geometry.top, dpi);
    const QSize frame(client.width() + Twips::toPixels(kFrameWidthTwips, dpi),
                      client.height() + Twips::toPixels(kFrameHeightTwips, dpi));
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary && !onSomeScreen(QRect(position, frame))) {
        position = primary->availableGeometry().topLeft() + framePixels(1000, 1000, dpi);
    }
    window.setFixedSize(client);
    window.move(position);
}

void WindowGeometry::restore(QWidget& window, const Settings& settings, SettingsKey left,
                             SettingsKey top, SettingsKey width, SettingsKey height, double dpi)
{
    TwipsGeometry geometry;
    geometry.left = settings.readSingle(left);
    geometry.top = settings.readSingle(top);
    geometry.width = settings.readSingle(width);
    geometry.height = settings.readSingle(height);
    apply(window, geometry, dpi);
}

TwipsGeometry WindowGeometry::read(const QWidget& window, double dpi,
                                   std::optional<QPoint> frameTopLeft)
{
    const QPoint position = frameTopLeft.value_or(window.pos());
    const QSize client = window.size();
    TwipsGeometry geometry;
    geometry.left = float(Twips::fromPixels(position.x(), dpi));
    geometry.top = float(Twips::fromPixels(position.y(), dpi));
    geometry.width = float(Twips::fromPixels(client.width(), dpi) + kFrameWidthTwips);
    geometry.height = float(Twips::fromPixels(client.height(), dpi) + kFrameHeightTwips);
    return geometry;
}

} // namespace varneth
