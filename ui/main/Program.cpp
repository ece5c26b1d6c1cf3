#include "Program.h"

#include "Platform.h"
#include "SettingsWindow.h"
#include "UiLog.h"

#include <QApplication>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

namespace varneth {

namespace {

// The program whose entries an exit without a close sequence still has to store.
Program* g_running = nullptr;

} // namespace

Program::Program(Platform& platform, SettingsStore& store) : Program(platform, store, Options{}) {}

Program::Program(Platform& platform, SettingsStore& store, Options options)
    : m_platform(platform),
      m_quit(options.quit ? std::move(options.quit) : &Program::quitApplication),
      m_settings(store, options.locale),
      m_presenter([this, presenter = options.presenter ? std::move(options.presenter)
                                                       : &StoreFailureReporter::showMessageBox](
                      const QString& title, const QString& text) {
          // What a message says is in the log already; at the session's end nobody would
          // see a box.
          if (!m_ending) {
              presenter(title, text);
          }
      }),
      m_reporter(m_presenter), m_window(options.clock),
      m_controller(m_window, m_settings, platform, m_reporter, m_presenter),
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
    connect(&m_controller, &MainWindowController::closing, this, [this] { m_closing = true; });
    connect(&m_controller, &MainWindowController::closed, this, [this] { m_closed = true; });
    // Queued, so the close event that ran the sequence finishes before the loop ends.
    connect(
        &m_controller, &MainWindowController::closed, this, [this] { m_quit(0); },
        Qt::QueuedConnection);

    connect(&m_signals, &TerminationSignals::received, this, [this](int signalNumber) {
        qCInfo(lcUi) << "closing on signal" << signalNumber;
        endSession();
    });
    // A session manager's logout ends with a quit event, on which Qt closes every window.
    QCoreApplication::instance()->installEventFilter(this);

    g_running = this;
}

Program::~Program()
{
    if (g_running == this) {
        g_running = nullptr;
    }
}

void Program::quitApplication(int status)
{
    // Qt 6.4's Wayland platform sometimes hangs for good while it disconnects from the
    // compositor, after the window is gone. Everything is stored by now, and the store
    // writes are synced, so the process ends here instead of waiting for the teardown.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    QCoreApplication::exit(status);
}

bool Program::activate(const Activation& launch)
{
    if (m_closing || m_closed) {
        return false;
    }
    QWidget* target = shownSettingsWindow();
    if (QWindow* window = (target ? target : &m_window)->windowHandle()) {
        m_platform.activate(*window, launch);
    }
    return true;
}

SettingsWindow* Program::shownSettingsWindow() const
{
    SettingsWindow* settings = m_settingsWindow.window();
    return settings && settings->isVisible() ? settings : nullptr;
}

void Program::endSession()
{
    if (m_ending || m_closed) {
        return;
    }
    m_ending = true;
    if (SettingsWindow* settings = shownSettingsWindow()) {
        settings->close();
    }
    m_window.close();
}

bool Program::eventFilter(QObject* watched, QEvent* event)
{
    // Installed on the application, this sees every event of the program: the cheap test
    // first.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() && !m_closed) {
        m_ending = true;
    }
    return false;
}

void Program::storeAtExit()
{
    if (g_running && !g_running->m_closed) {
        g_running->storeWithoutDisplay();
    }
}

// What the close sequences would store, read from the widgets' own state: the display may
// be gone, so nothing here may ask the X server anything or try to show anything.
void Program::storeWithoutDisplay()
{
    m_closed = true;
    m_ending = true;
    StoreFailureReporter::Results results;
    if (shownSettingsWindow()) {
        results.append(m_settingsWindow.runStoreSequence(false));
    }
    results.append(m_controller.runCloseSequenceWrites(false));
    StoreFailureReporter::reportToLog(results);
}

void Program::start()
{
    m_controller.load();
    // Qt's xcb plugin calls exit() when the X server goes away, with no close event. Exit
    // handlers run in the reverse order of their registration, so this one goes in after
    // the load has set up what reading the store needs, which is then still there.
    static const bool registered = std::atexit(&Program::storeAtExit) == 0;
    Q_UNUSED(registered);
    m_window.show();
    // Window managers that keep windows without a taskbar entry out of their own focus
    // choices (openbox) would leave it inactive; ask for it as every new window gets it.
    m_window.activateWindow();
}

} // namespace varneth
