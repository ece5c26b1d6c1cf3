#include "QtPlatform.h"

#include "CalculatorLauncher.h"

#include <QGuiApplication>
#include <QWindow>

namespace varneth {

WindowHandle QtPlatform::foregroundWindow()
{
    const QWindow* focus = QGuiApplication::focusWindow();
    return focus ? static_cast<WindowHandle>(focus->winId()) : 0;
}

void QtPlatform::setTopmost(WindowHandle window, bool topmost)
{
    if (window == 0) {
        return;
    }
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow* candidate : windows) {
        // Only windows that already have a native window can carry the handle; asking the
        // others for winId() would create native windows for them just to compare.
        if (!candidate->handle() || static_cast<WindowHandle>(candidate->winId()) != window) {
            continue;
        }
        // The platform plugins that honour the hint at all apply it to a shown window
        // directly; hiding and showing it again would only make it flicker and lose focus.
        if (candidate->flags().testFlag(Qt::WindowStaysOnTopHint) != topmost) {
            candidate->setFlag(Qt::WindowStaysOnTopHint, topmost);
        }
        return;
    }
}

bool QtPlatform::startCalculator()
{
    return CalculatorLauncher::launch();
}

} // namespace varneth
