#pragma once

#include "SettingsStore.h"

#include <QList>
#include <QString>
#include <functional>

namespace varneth {

// Tells the user when their data could not be written. Every failed write gets a line in
// the log. A user's action (opening the settings window, OK, a close box, a clear, ticking
// a box) whose writes fail shows one message however many keys it wrote; the repeating
// autosave shows one for a failure that persists, and again only once a write has gone
// through in between, so a full disk does not bury the desktop in boxes.
class StoreFailureReporter
{
public:
    using Results = QList<SettingsStore::WriteResult>;
    // Shows a message to the user; tests replace it so nothing blocks.
    using Presenter = std::function<void(const QString& title, const QString& text)>;

    explicit StoreFailureReporter(Presenter presenter);

    // Runs one action of the user's whose handlers each report their own writes (opening
    // the settings window runs both tick boxes' handlers; OK closes the window, which
    // stores again). What fails in it is told once, when the action is over.
    void runAsOneAction(const std::function<void()>& action);

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
    void tellAboutAction(const Results& failures);

    Presenter m_presenter;
    int m_actionDepth = 0;
    // The failed writes of the action that runs, to be told when it is over.
    Results m_actionFailures;
    bool m_autosaveShown = false;
};

} // namespace varneth
