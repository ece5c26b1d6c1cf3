#include "PlatformSelection.h"

#include <QByteArray>
#include <QtGlobal>
#include <xcb/xcb.h>

namespace varneth {

void PlatformSelection::preferX11()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY")) {
        return;
    }
    // A DISPLAY left over from another session may name a server that is gone; only a
    // display that answers is worth choosing over the desktop's own platform.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (reachable) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
}

} // namespace varneth
