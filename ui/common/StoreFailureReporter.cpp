#include "StoreFailureReporter.h"

#include "SettingsLog.h"
#include "ToolWindowFrame.h"

#include <QMessageBox>
#include <algorithm>
#include <utility>

namespace varneth {

namespace {

// The first failure's reason; the others are usually the same file and cause.
QString firstError(const StoreFailureReporter::Results& results)
{
    const auto failed = std::find_if(results.begin(), results.end(),
                                     [](const SettingsStore::WriteResult& r) { return !r.ok; });
    return failed == results.end() ? QString() : failed->error;
}

} // namespace

void StoreFailureReporter::showMessageBox(const QString& title, const QString& text)
{
    QMessageBox::warning(nullptr, title, text);
}

StoreFailureReporter::StoreFailureReporter(Presenter presenter) : m_presenter(std::move(presenter))
{
}

bool StoreFailureReporter::reportToLog(const Results& results)
{
    bool all = true;
    for (const SettingsStore::WriteResult& result : results) {
        if (!result.ok) {
            qCWarning(lcSettings).noquote() << "settings not saved:" << result.error;
            all = false;
        }
    }
    return all;
}

void StoreFailureReporter::runAsOneAction(const std::function<void()>& action)
{
    ++m_actionDepth;
    action();
    if (--m_actionDepth == 0 && !m_actionFailures.isEmpty()) {
        tellAboutAction(std::exchange(m_actionFailures, {}));
    }
}

bool StoreFailureReporter::reportAction(const Results& results)
{
    if (reportToLog(results)) {
        m_autosaveShown = false;
        return true;
    }
    if (m_actionDepth > 0) {
        m_actionFailures.append(results);
    } else {
        tellAboutAction(results);
    }
    return false;
}

void StoreFailureReporter::tellAboutAction(const Results& failures)
{
    m_presenter(ToolWindowFrame::kCaption.toString(),
                QStringLiteral("Your data could not be saved to the settings file.\n\n%1")
                    .arg(firstError(failures)));
}

bool StoreFailureReporter::reportAutosave(const Results& results)
{
    if (reportToLog(results)) {
        m_autosaveShown = false;
        return true;
    }
    if (!m_autosaveShown) {
        m_autosaveShown = true;
        m_presenter(ToolWindowFrame::kCaption.toString(),
                    QStringLiteral("Auto-save could not save your entries. It keeps trying every "
                                   "minute and tells you again only if it fails after a save "
                                   "has gone through.\n\n%1")
                        .arg(firstError(results)));
    }
    return false;
}

} // namespace varneth
