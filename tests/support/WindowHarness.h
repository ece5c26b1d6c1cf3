#pragma once

#include "ClockPanel.h"
#include "MainWindow.h"
#include "MainWindowController.h"
#include "RecordingStore.h"
#include "Settings.h"
#include "SettingsWindowController.h"
#include "StoreFailureReporter.h"

#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace varneth {

// Both windows and their controllers, wired as the program wires them, over a recording
// store in a temporary folder (or the given file) and the platform the test chooses. The
// reporter records its messages instead of showing boxes, so nothing blocks. Nothing is
// loaded yet: each test runs the load sequence when its setting up is done.
template <class PlatformType> struct WindowHarness
{
    using Writes = QList<QPair<QString, QString>>;

    explicit WindowHarness(const Writes& stored = {}, const QString& storePath = QString(),
                           const QLocale& locale = QLocale::c(),
                           ClockPanel::Clock clock = &QDateTime::currentDateTime)
        : store(storePath.isEmpty() ? dir.filePath("VARNETH.conf") : storePath),
          settings(store, locale),
          reporter([this](const QString&, const QString& text) { shown.append(text); }),
          window(std::move(clock)), controller(window, settings, platform, reporter),
          settingsController(controller, settings, reporter)
    {
        for (const auto& [key, text] : stored) {
            store.write(u"VARNETH", u"Settings", key, text);
        }
        store.clearWrites();
        controller.setSettingsOpener([this] { settingsController.open(); });
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
        return SettingsStore(store.filePath()).read(u"VARNETH", u"Settings", key, "<absent>");
    }

    QTemporaryDir dir;
    RecordingStore store;
    Settings settings;
    PlatformType platform;
    QStringList shown;
    StoreFailureReporter reporter;
    MainWindow window;
    MainWindowController controller;
    SettingsWindowController settingsController;
};

} // namespace varneth
