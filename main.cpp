#include "CursorBlinkLimiter.h"
#include "MainWindow.h"
#include "MainWindowController.h"
#include "Platform.h"
#include "PlatformSelection.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "SettingsWindowController.h"
#include "StoreFailureReporter.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    using namespace varneth;

    PlatformSelection::preferX11();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VARNETH"));
    QApplication::setApplicationName(QStringLiteral("VARNETH"));
    // Names the menu entry, so the Wayland app_id matches it and docks group the window
    // under the entry's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.holbreck.varneth"));
    // The program ends when the main window's close sequence has run, not when some
    // window happens to be the last one visible (a message box during close is one).
    QApplication::setQuitOnLastWindowClosed(false);

    const CursorBlinkLimiter cursorBlink;
    const std::unique_ptr<Platform> platform = Platform::create();
    SettingsStore store;
    Settings settings(store);
    StoreFailureReporter reporter;

    MainWindow window;
    MainWindowController controller(window, settings, *platform, reporter);
    QObject::connect(&controller, &MainWindowController::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    SettingsWindowController settingsWindow(controller, settings, reporter);
    controller.setSettingsOpener([&settingsWindow] { settingsWindow.open(); });
    controller.load();
    window.show();
    // Window managers that keep windows without a taskbar entry out of their own focus
    // choices (openbox) would leave it inactive; ask for it as every new window gets it.
    window.activateWindow();
    return QApplication::exec();
}
