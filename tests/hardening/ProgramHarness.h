#pragma once

#include "MainWindow.h"
#include "MainWindowController.h"
#include "Platform.h"
#include "Program.h"
#include "SettingsStore.h"
#include "SettingsWindow.h"
#include "SettingsWindowController.h"

#include <QStringList>
#include <memory>

namespace varneth {

// The program as main() builds it: the platform chosen at run time and the user's store,
// here on the given file. Only the reporter and the quit differ: messages are recorded
// instead of shown and the quit is counted, so nothing blocks and the test goes on.
class ProgramHarness
{
public:
    explicit ProgramHarness(const QString& storeFile)
        : m_platform(Platform::create()), m_store(storeFile),
          m_program(*m_platform, m_store, options())
    {
    }

    void start() { m_program.start(); }

    // Starts the program and shows the main window, or the settings window over it
    // (loaded as an opening does, without its modal loop); returns the window shown.
    QWidget* showWindow(bool settings)
    {
        start();
        if (!settings) {
            return &window();
        }
        settingsWindow().prepare();
        settingsWindow().window()->show();
        return settingsWindow().window();
    }

    SettingsStore& store() { return m_store; }
    MainWindow& window() { return m_program.mainWindow(); }
    MainWindowController& controller() { return m_program.controller(); }
    SettingsWindowController& settingsWindow() { return m_program.settingsWindow(); }
    const QStringList& shown() const { return m_shown; }
    const QList<int>& quits() const { return m_quits; }

private:
    Program::Options options()
    {
        Program::Options result;
        result.presenter = [this](const QString&, const QString& text) { m_shown.append(text); };
        result.quit = [this](int status) { m_quits.append(status); };
        return result;
    }

    QStringList m_shown;
    QList<int> m_quits;
    std::unique_ptr<Platform> m_platform;
    SettingsStore m_store;
    Program m_program;
};

} // namespace varneth
