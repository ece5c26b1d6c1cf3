#include "Program.h"

#include <QApplication>

namespace varneth {

namespace {

StoreFailureReporter makeReporter(const StoreFailureReporter::Presenter& presenter)
{
    return presenter ? StoreFailureReporter(presenter) : StoreFailureReporter();
}

} // namespace

Program::Program(Platform& platform, SettingsStore& store) : Program(platform, store, Options{}) {}

Program::Program(Platform& platform, SettingsStore& store, Options options)
    : m_quit(options.quit ? std::move(options.quit)
                          : [](int status) { QCoreApplication::exit(status); }),
      m_settings(store, options.locale), m_reporter(makeReporter(options.presenter)),
      m_window(options.clock), m_controller(m_window, m_settings, platform, m_reporter),
      m_settingsWindow(m_controller, m_settings, m_reporter)
{
    QApplication::setOrganizationName(QStringLiteral("VARNETH"));
    QApplication::setApplicationName(QStringLiteral("VARNETH"));
    // Docks and switchers match the window to the menu entry by this name (the Wayland
    // app_id); the entry's StartupWMClass does the same on X11.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.holbreck.varneth"));
    // The program ends when the main window's close sequence has run, not when some
    // window happens to be the last one visible (a message box during close is one).
    QApplication::setQuitOnLastWindowClosed(false);

    m_controller.setSettingsOpener([this] { m_settingsWindow.open(); });
    // Queued, so the close event that ran the sequence finishes before the loop ends.
    connect(
        &m_controller, &MainWindowController::closed, this, [this] { m_quit(0); },
        Qt::QueuedConnection);
}

Program::~Program() = default;

void Program::start()
{
    m_controller.load();
    m_window.show();
    // Window managers that keep windows without a taskbar entry out of their own focus
    // choices (openbox) would leave it inactive; ask for it as every new window gets it.
    m_window.activateWindow();
}

} // namespace varneth
