#pragma once

#include <QProcessEnvironment>

namespace varneth {

// Chooses the Qt platform plugin before the application object exists.
class PlatformSelection
{
public:
    // Prefers the xcb platform whenever an X display is reachable, XWayland included:
    // only there can the program see other programs' windows and restack them. Sets
    // QT_QPA_PLATFORM=xcb unless the user has set QT_QPA_PLATFORM, whose choice wins.
    // Must be called before the QGuiApplication is constructed.
    static void preferX11();

    // The environment as it was before preferX11() changed it, for the programs this one
    // starts, without the launcher's startup id and activation token: those were meant
    // for this program's own window, and a program it starts would use them a second time.
    static QProcessEnvironment startEnvironment();
};

} // namespace varneth
