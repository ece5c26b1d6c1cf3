#pragma once

#include "MainWindow.h"
#include "MainWindowController.h"
#include "Platform.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "SettingsWindowController.h"
#include "StoreFailureReporter.h"

#include <QStringList>
#include <memory>

namespace varneth {

// The program's objects wired exactly as main() wires them, on the user's own store
// (wherever XDG_CONFIG_HOME points) and the platform chosen at run time. Only the
// reporter differs: it records its messages instead of showing boxes, so nothing blocks.
class ProgramHarness
{
public:
    ProgramHarness()
        : m_platform(Platform::create()), m_settings(m_store),
          m_reporter([this](const QString&, const QString& text) { m_shown.append(text); }),
          m_controller(m_window, m_settings, *m_platform, m_reporter),
          m_settingsWindow(m_controller, m_settings, m_reporter)
    {
        m_controller.setSettingsOpener([this] { m_settingsWindow.open(); });
    }

    // What main() does after wiring: the load sequence, then the window appears.
    void start()
    {
        m_controller.load();
        m_window.show();
    }

    SettingsStore& store() { return m_store; }
    MainWindow& window() { return m_window; }
    MainWindowController& controller() { return m_controller; }
    SettingsWindowController& settingsWindow() { return m_settingsWindow; }
    const QStringList& shown() const { return m_shown; }

private:
    std::unique_ptr<Platform> m_platform;
    SettingsStore m_store;
    Settings m_settings;
    QStringList m_shown;
    StoreFailureReporter m_reporter;
    MainWindow m_window;
    MainWindowController m_controller;
    SettingsWindowController m_settingsWindow;
};

} // namespace varneth
