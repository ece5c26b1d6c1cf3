#pragma once

#include "ClockPanel.h"
#include "CursorBlinkLimiter.h"
#include "MainWindow.h"
#include "MainWindowController.h"
#include "Settings.h"
#include "SettingsWindowController.h"
#include "StoreFailureReporter.h"

#include <QLocale>
#include <QObject>
#include <functional>

namespace varneth {

class Platform;
class SettingsStore;

// The whole program: both windows with their controllers over one store and one platform,
// the cursor-blink limiter, and the way out once the main window has closed. main() and
// the tests build it alike; the tests hand in a recording platform and a store of their
// own, and watch the quit instead of letting it end the test.
class Program : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // How a failed write is shown to the user; empty: a message box.
        StoreFailureReporter::Presenter presenter;
        ClockPanel::Clock clock = &QDateTime::currentDateTime;
        QLocale locale = QLocale::system();
        // Ends the program with an exit status; empty: QCoreApplication::exit.
        std::function<void(int)> quit;
    };

    Program(Platform& platform, SettingsStore& store, Options options);
    Program(Platform& platform, SettingsStore& store);
    ~Program() override;

    // The load sequence, then the main window appears and asks to be active.
    void start();

    Settings& settings() { return m_settings; }
    MainWindow& mainWindow() { return m_window; }
    MainWindowController& controller() { return m_controller; }
    SettingsWindowController& settingsWindow() { return m_settingsWindow; }

private:
    std::function<void(int)> m_quit;
    Settings m_settings;
    StoreFailureReporter m_reporter;
    CursorBlinkLimiter m_cursorBlink;
    MainWindow m_window;
    MainWindowController m_controller;
    SettingsWindowController m_settingsWindow;
};

} // namespace varneth
