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

int clampedPixels(double twips, double dpi, int minimum)
{
    if (!std::isfinite(twips)) {
        return minimum;
    }
    // Clamped in twips first, so a huge stored number never reaches the rounding.
    const double limit = Twips::fromPixels(WindowGeometry::kMaxPixels, dpi);
    return std::max(minimum, Twips::toPixels(std::clamp(twips, -limit, limit), dpi));
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

bool WindowGeometry::positionIsKnown()
{
    // A Wayland client is never told where its window is: Qt reports 0,0 or the offset of
    // its own title bar, which would put the window in a corner on the next X11 session.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WindowGeometry::isUsableOuterSize(float twips, double frameTwips, double dpi)
{
    const double client = (double(twips) - frameTwips) * dpi / Twips::kPerInch;
    return client > 0.0 && client <= kMaxPixels;
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

void WindowGeometry::restore(QWidget& window, const Settings& settings, const GeometryKeys& keys,
                             double dpi)
{
    TwipsGeometry geometry;
    geometry.left = settings.readSingle(keys.left);
    geometry.top = settings.readSingle(keys.top);
    geometry.width = settings.readSingle(
        keys.width, [dpi](float twips) { return isUsableOuterSize(twips, kFrameWidthTwips, dpi); });
    geometry.height = settings.readSingle(keys.height, [dpi](float twips) {
        return isUsableOuterSize(twips, kFrameHeightTwips, dpi);
    });
    apply(window, geometry, dpi);
}

QList<SettingsStore::WriteResult> WindowGeometry::store(const QWidget& window, Settings& settings,
                                                        const GeometryKeys& keys, double dpi,
                                                        std::optional<QPoint> frameTopLeft)
{
    const TwipsGeometry geometry = read(window, dpi, frameTopLeft);
    QList<SettingsStore::WriteResult> results;
    if (positionIsKnown()) {
        results.append(settings.writeSingle(keys.left, geometry.left));
        results.append(settings.writeSingle(keys.top, geometry.top));
    }
    if (keys.storesSize) {
        results.append(settings.writeSingle(keys.width, geometry.width));
        results.append(settings.writeSingle(keys.height, geometry.height));
    }
    return results;
}

TwipsGeometry WindowGeometry::read(const QWidget& window, double dpi,
                                   std::optional<QPoint> frameTopLeft)
{
    // A fixed window's size is the one it was given, whatever a window manager imposed
    // on it for a moment; that is never what the user chose.
    const QSize size =
        window.minimumSize() == window.maximumSize() ? window.minimumSize() : window.size();
    const QRectF twips = Twips::fromPixels(QRect(frameTopLeft.value_or(window.pos()), size), dpi);
    TwipsGeometry geometry;
    geometry.left = float(twips.x());
    geometry.top = float(twips.y());
    geometry.width = float(twips.width() + kFrameWidthTwips);
    geometry.height = float(twips.height() + kFrameHeightTwips);
    return geometry;
}

} // namespace varneth
