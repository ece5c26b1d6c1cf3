#pragma once

#include "ClockPanel.h"
#include "MainWindow.h"
#include "MainWindowController.h"
#include "Program.h"
#include "RecordingStore.h"
#include "SettingsWindowController.h"

#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace varneth {

// The program as main() builds it, over a recording store in a temporary folder (or the
// given file) and the platform the test chooses. Failure messages are recorded instead of
// shown, and the quit is counted instead of ending the test, so nothing blocks. Nothing is
// loaded yet: each test runs the load sequence when its setting up is done.
template <class PlatformType> struct WindowHarness
{
    using Writes = QList<QPair<QString, QString>>;

    explicit WindowHarness(const Writes& stored = {}, const QString& storePath = QString(),
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
        Program::Options result;
        result.presenter = [this](const QString& title, const QString& text) {
            titles.append(title);
            shown.append(text);
        };
        result.clock = std::move(clock);
        result.locale = locale;
        result.quit = [this](int status) { quits.append(status); };
        return result;
    }
};

} // namespace varneth
