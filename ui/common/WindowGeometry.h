#pragma once

#include "SettingsKey.h"
#include "SettingsStore.h"

#include <QList>
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

// The four keys of one window's geometry. A window whose size the program never writes
// (the settings window) stores its position only.
struct GeometryKeys
{
    SettingsKey left;
    SettingsKey top;
    SettingsKey width;
    SettingsKey height;
    bool storesSize;
};

class WindowGeometry
{
public:
    static constexpr double kFrameWidthTwips = 90.0;   // both side borders
    static constexpr double kFrameHeightTwips = 330.0; // title bar and bottom border
    static constexpr int kMaxPixels = 16384;

    // The client size in pixels for an outer size in twips, never below one pixel and
    // never absurdly large, whatever the store says.
    static QSize clientPixels(float outerWidth, float outerHeight, double dpi);
    static QPoint framePixels(float left, float top, double dpi);
    // Whether a stored outer width or height leaves a usable client area: more than the
    // frame, and no more than kMaxPixels.
    static bool isUsableOuterSize(float twips, double frameTwips, double dpi);

    // Places and fixes the size of a top-level window. A position that would leave the
    // window wholly off every screen (a monitor since unplugged) is moved onto the
    // primary screen.
    static void apply(QWidget& window, const TwipsGeometry& geometry, double dpi);
    // Reads the four keys in the order left, top, width, height and applies them. A size
    // that leaves no usable client area counts as unreadable: the key's default.
    static void restore(QWidget& window, const Settings& settings, const GeometryKeys& keys,
                        double dpi);
    // Whether the platform tells a window where it is (not so on Wayland).
    static bool positionIsKnown();
    // Writes left and top (where the position is known), then width and height where the
    // keys store the size; returns each write's result in that order. The frame's top-left
    // is the desktop's where it knows better than Qt (Platform::frameTopLeft).
    static QList<SettingsStore::WriteResult> store(const QWidget& window, Settings& settings,
                                                   const GeometryKeys& keys, double dpi,
                                                   std::optional<QPoint> frameTopLeft);
    // The window's geometry as it is stored: whole pixels converted back to twips.
    static TwipsGeometry read(const QWidget& window, double dpi,
                              std::optional<QPoint> frameTopLeft = std::nullopt);
};

} // namespace varneth
