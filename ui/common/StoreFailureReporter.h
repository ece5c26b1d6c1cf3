#pragma once

#include "SettingsStore.h"

#include <QList>
#include <QString>
#include <functional>

namespace varneth {

// Tells the user when their data could not be written. Every failed write gets a line in
// the log. A user's action (closing a window, ticking a box, clearing the data) whose
// writes fail shows one message however many keys it wrote; the repeating autosave shows
// one only the first time in a run, so a full disk does not bury the desktop in boxes.
class StoreFailureReporter
{
public:
    using Results = QList<SettingsStore::WriteResult>;
    // Shows a message to the user; tests replace it so nothing blocks.
    using Presenter = std::function<void(const QString& title, const QString& text)>;

    explicit StoreFailureReporter(Presenter presenter);

    // Each takes the results of all the writes of one action or tick and returns whether
    // they all succeeded.
    bool reportAction(const Results& results);
    bool reportAutosave(const Results& results);
    // For writes nobody is there to read a message about (the session is ending): the
    // log only.
    static bool reportToLog(const Results& results);

    // The presenter of the program: a warning box.
    static void showMessageBox(const QString& title, const QString& text);

private:
    Presenter m_presenter;
    bool m_autosaveShown = false;
};

} // namespace varneth
