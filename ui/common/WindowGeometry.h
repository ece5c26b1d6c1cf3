#pragma once

#include "SettingsKey.h"

#include <QPoint>
#include <QSize>
#include <optional>

class QWidget;

namespace varneth {

class Settings;

// A window's stored geometry: the frame's top-left and the outer size, in twips.
// The outer size is mapped to the client area by subtracting a fixed reference frame
// rather than whatever frame the window manager draws, so stored values come back the
// same on every desktop.
struct TwipsGeometry
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

class WindowGeometry
{
public:
    static constexpr double kFrameWidthTwips = 90.0;   // both side borders
    static constexpr double kFrameHeightTwips = 330.0; // title bar and bottom border

    // The client size in pixels for an outer size in twips, never below one pixel and
    // never absurdly large, whatever the store says.
    static QSize clientPixels(float outerWidth, float outerHeight, double dpi);
    static QPoint framePixels(float left, float top, double dpi);

    // Places and fixes the size of a top-level window. A position that would leave the
    // window wholly off every screen (a monitor since unplugged) is moved onto the
    // primary screen.
    static void apply(QWidget& window, const TwipsGeometry& geometry, double dpi);
    // Reads the four keys in the order left, top, width, height and applies them.
    static void restore(QWidget& window, const Settings& settings, SettingsKey left,
                        SettingsKey top, SettingsKey width, SettingsKey height, double dpi);
    // The window's geometry as it is stored: whole pixels converted back to twips. The
    // frame's top-left is the desktop's when it knows better than Qt (Platform::frameTopLeft).
    static TwipsGeometry read(const QWidget& window, double dpi,
                              std::optional<QPoint> frameTopLeft = std::nullopt);
};

} // namespace varneth
