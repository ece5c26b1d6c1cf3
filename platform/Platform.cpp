#include "Platform.h"

#include "QtPlatform.h"
#include "X11Platform.h"

#include <QGuiApplication>
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

} // namespace varneth
