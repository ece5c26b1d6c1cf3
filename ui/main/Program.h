#pragma once

#include "Activation.h"
#include "ClockPanel.h"
#include "CursorBlinkLimiter.h"
#include "MainWindow.h"
#include "MainWindowController.h"
#include "Settings.h"
#include "SettingsWindowController.h"
#include "StoreFailureReporter.h"
#include "TerminationSignals.h"

#include <QLocale>
#include <QObject>
#include <functional>

namespace varneth {

class Platform;
class SettingsStore;
class SettingsWindow;

// The whole program: both windows with their controllers over one store and one platform,
// the cursor-blink limiter, and the way out once the main window has closed. main() and
// the tests build it alike; the tests hand in a recording platform and a store of their
// own, and watch the quit instead of letting it end the test.
//
// However the session ends, what the user typed is stored: a logout through the session
// manager and the signals of a desktop or terminal ending it run the windows' close
// sequences as the close box would, and if the display goes away the program stores the
// same before it exits. Nobody is left to read a message box then, so failed writes on
// those paths go to the log only.
class Program : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // How the program's messages (a failed write, no calculator) are shown to the user;
        // empty: a message box.
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

    // Brings the window the user works in to the front with the keyboard, for a start of
    // the program that found this one running: the settings window while it is open (it
    // is modal), else the main window. False from the moment the main window's close
    // sequence begins: a message it shows may keep the program a while, but it ends.
    bool activate(const Activation& launch);

    // Closes as the session's end asks: the settings window first if it is open, then the
    // main window, each with its close sequence. Only the first call does anything.
    void endSession();

    Settings& settings() { return m_settings; }
    MainWindow& mainWindow() { return m_window; }
    MainWindowController& controller() { return m_controller; }
    SettingsWindowController& settingsWindow() { return m_settingsWindow; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void quitApplication(int status);
    // The settings window while it is open, else none.
    SettingsWindow* shownSettingsWindow() const;
    static void storeAtExit();
    void storeWithoutDisplay();

    Platform& m_platform;
    std::function<void(int)> m_quit;
    // The session is ending: no more message boxes, and no second close.
    bool m_ending = false;
    // The main window's close sequence has begun, and has run.
    bool m_closing = false;
    bool m_closed = false;
    Settings m_settings;
    // Shows the program's messages, failed writes and the rest, unless the session is ending.
    StoreFailureReporter::Presenter m_presenter;
    StoreFailureReporter m_reporter;
    CursorBlinkLimiter m_cursorBlink;
    MainWindow m_window;
    MainWindowController m_controller;
    SettingsWindowController m_settingsWindow;
    TerminationSignals m_signals;
};

} // namespace varneth
