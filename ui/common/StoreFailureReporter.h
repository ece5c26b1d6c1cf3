#pragma once

#include "SettingsStore.h"

#include <QString>
#include <functional>

namespace varneth {

// Tells the user when their data could not be written. Every failure gets a line on
// stderr. A user's action (closing a window, ticking a box, clearing the data) that
// fails shows one message box however many keys it wrote; the repeating autosave shows
// one only the first time in a run, so a full disk does not bury the desktop in boxes.
class StoreFailureReporter
{
public:
    // Shows a message to the user; tests replace it so nothing blocks.
    using Presenter = std::function<void(const QString& title, const QString& text)>;

    StoreFailureReporter();
    explicit StoreFailureReporter(Presenter presenter);

    // Each returns whether the write succeeded.
    bool onActionWrite(const SettingsStore::WriteResult& result);
    bool onAutosaveWrite(const SettingsStore::WriteResult& result);
    bool onWrite(const SettingsStore::WriteResult& result); // stderr only

    // A new action may show its own box again.
    void beginAction() { m_actionShown = false; }

    int shownCount() const { return m_shown; }

private:
    void show(const QString& text);

    Presenter m_presenter;
    bool m_autosaveShown = false;
    bool m_actionShown = false;
    int m_shown = 0;
};

} // namespace varneth
