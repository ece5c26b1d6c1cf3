#include "PlatformSelection.h"

#include <QByteArray>
#include <QtGlobal>
#include <xcb/xcb.h>

namespace varneth {

namespace {

// Whether preferX11() set QT_QPA_PLATFORM itself, rather than finding the user's choice.
bool g_choseX11 = false;

} // namespace

void PlatformSelection::preferX11()
{
    g_choseX11 = false;
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
        g_choseX11 = true;
    }
}

QProcessEnvironment PlatformSelection::startEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (g_choseX11 && environment.value(QStringLiteral("QT_QPA_PLATFORM")) == u"xcb") {
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    }
    environment.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    environment.remove(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    return environment;
}

} // namespace varneth
