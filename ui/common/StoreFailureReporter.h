#pragma once

#include "SettingsStore.h"

#include <QString>

#include <functional>

namespace varneth {

// Tells the user when their data could not be written. Every failure gets a line on
// stderr; the user sees a message box for a failure on closing a window, and for the
// repeating autosave only the first time in a run, so a full disk does not bury the
// desktop in boxes.
class StoreFailureReporter
{
public:
    // Shows a message to the user; tests replace it so nothing blocks.
    using Presenter = std::function<void(const QString& title, const QString& text)>;

    StoreFailureReporter();
    explicit StoreFailureReporter(Presenter presenter);

    // Each returns whether the write succeeded.
    bool onCloseWrite(const SettingsStore::WriteResult& result);
    bool onAutosaveWrite(const SettingsStore::WriteResult& result);
    bool onWrite(const SettingsStore::WriteResult& result); // stderr only

    // A new close sequence may show its own box again.
    void startClose() { m_closeShown = false; }

    int shownCount() const { return m_shown; }

private:
    void show(const QString& text);

    Presenter m_presenter;
    bool m_autosaveShown = false;
    bool m_closeShown = false;
    int m_shown = 0;
};

} // namespace varneth
