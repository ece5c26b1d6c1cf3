#include "Platform.h"

#include "QtPlatform.h"
#include "X11Platform.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

namespace varneth {

std::unique_ptr<Platform> Platform::create()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb") && qApp &&
        qApp->nativeInterface<QNativeInterface::QX11Application>()) {
        return std::make_unique<X11Platform>();
    }
    return std::make_unique<QtPlatform>();
}

void Platform::activate(QWindow& window, const Activation& launch)
{
    // Newer Qt versions hand this variable's token to the compositor with the activation
    // request and then clear it; where nothing takes it, it must not reach the programs we
    // start later, such as the calculator.
    const bool token = !launch.activationToken.isEmpty();
    if (token) {
        qputenv("XDG_ACTIVATION_TOKEN", launch.activationToken.toUtf8());
    }
    window.raise();
    window.requestActivate();
    if (token) {
        qunsetenv("XDG_ACTIVATION_TOKEN");
    }
}

} // namespace varneth
