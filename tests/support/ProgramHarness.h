#pragma once

#include "ClockPanel.h"
#include "MainWindow.h"
#include "MainWindowController.h"
#include "Program.h"
#include "RecordingStore.h"
#include "SettingsWindow.h"
#include "SettingsWindowController.h"

#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace varneth {

// The program as main() builds it, over a recording store in a temporary folder (or the
// given file) and the platform the test names: the recording FakePlatform, or a real
// backend (X11Platform, QtPlatform). Messages are recorded instead of shown and the quit is
// counted instead of ending the test, so nothing blocks. Nothing is loaded yet: the test
// starts the program, or runs the load sequence itself, once its setting up is done.
template <class PlatformType> struct ProgramHarness
{
    using Writes = QList<QPair<QString, QString>>;

    explicit ProgramHarness(const Writes& stored = {}, const QString& storePath = QString(),
                            const QLocale& locale = QLocale::c(),
                            ClockPanel::Clock clock = &QDateTime::currentDateTime)
        : store(storePath.isEmpty() ? dir.filePath("VARNETH.conf") : storePath),
          program(platform, store, options(locale, std::move(clock))), settings(program.settings()),
          window(program.mainWindow()), controller(program.controller()),
          settingsController(program.settingsWindow())
    {
        for (const auto& [key, text] : stored) {
            store.write(u"Settings", key, text);
        }
        store.clearWrites();
    }

    // Starts the program as main() does, unless it runs, and shows the main window, or the
    // settings window over it as openSettings() does. Returns the window shown.
    QWidget* showWindow(bool settingsWindow = false)
    {
        if (!window.isVisible()) {
            program.start();
        }
        if (settingsWindow) {
            return openSettings();
        }
        return &window;
    }
    // The settings window loaded as an opening loads it and shown, but without its modal
    // loop, so that the test goes on.
    SettingsWindow* openSettings()
    {
        prepareSettings()->show();
        return settingsController.window();
    }
    // The settings window as an opening loads it, not shown.
    SettingsWindow* prepareSettings()
    {
        settingsController.prepare();
        return settingsController.window();
    }

    QLineEdit* field(const char* name) const { return window.findChild<QLineEdit*>(name); }
    QString text(const char* name) const { return field(name)->text(); }
    void type(const char* name, const QString& text)
    {
        QLineEdit* edit = field(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // What a later run would read: a fresh store on the same file.
    QString stored(const QString& key) const
    {
        return SettingsStore(store.filePath()).read(u"Settings", key, "<absent>");
    }

    QTemporaryDir dir;
    RecordingStore store;
    PlatformType platform;
    QStringList titles; // of the messages shown
    QStringList shown;
    QList<int> quits; // the exit statuses the program asked to end with
    Program program;
    Settings& settings;
    MainWindow& window;
    MainWindowController& controller;
    SettingsWindowController& settingsController;

private:
    Program::Options options(const QLocale& locale, ClockPanel::Clock clock)
    {
        const auto present = [this](const QString& title, const QString& text) {
            titles.append(title);
            shown.append(text);
        };
        return {.presenter = present,
                .clock = std::move(clock),
                .locale = locale,
                .quit = [this](int status) { quits.append(status); }};
    }
};

} // namespace varneth
