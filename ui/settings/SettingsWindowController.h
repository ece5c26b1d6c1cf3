#pragma once

#include "MainWindowOperations.h"
#include "Settings.h"
#include "SettingsWindow.h"
#include "StoreFailureReporter.h"

#include <QObject>
#include <QPointer>

namespace varneth {

// Runs the settings window: created on first use, shown modally over the main window and
// loaded afresh on every opening. Its tick boxes switch the main window's keep-on-top
// and autosave timers and store the choice at once; the armed clear button resets the
// holding data.
class SettingsWindowController : public QObject
{
    Q_OBJECT

public:
    static const QString kCreatorAddress;
    // The tooltip of the greyed "Always On Top" box.
    static const QString kNoKeepOnTop;

    SettingsWindowController(MainWindowOperations& main, Settings& settings,
                             StoreFailureReporter& reporter, QObject* parent = nullptr);
    ~SettingsWindowController() override;

    // Shows the window modally and returns when it has closed.
    void open();

    // The window, once the first opening created it; for tests.
    SettingsWindow* window() const { return m_window; }

    // Creates (if need be) and loads the window without showing it; open() uses it.
    void prepare();

    // The writes of the store sequence (OK and close): position, then the two tick boxes.
    // askDesktop false takes the position as Qt has it, without asking the display.
    StoreFailureReporter::Results runStoreSequence(bool askDesktop = true);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void create();
    void load();
    void onAlwaysOnTopChanged();
    void onAutosaveChanged();
    void onArmClearChanged();
    void clearAllSavedData();
    SettingsStore::WriteResult writeTickBox(SettingsKey key, int state);

    MainWindowOperations& m_main;
    Settings& m_settings;
    StoreFailureReporter& m_reporter;
    // Owned by the main window, as its child, so it never outlives its owner.
    QPointer<SettingsWindow> m_window;
};

} // namespace varneth
