#include "StoreFailureReporter.h"

#include "SettingsLog.h"
#include "ToolWindowFrame.h"

#include <QMessageBox>
#include <algorithm>

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

bool StoreFailureReporter::reportAction(const Results& results)
{
    if (reportToLog(results)) {
        return true;
    }
    m_presenter(ToolWindowFrame::kCaption.toString(),
                QStringLiteral("Your data could not be saved to the settings file.\n\n%1")
                    .arg(firstError(results)));
    return false;
}

bool StoreFailureReporter::reportAutosave(const Results& results)
{
    if (reportToLog(results)) {
        return true;
    }
    if (!m_autosaveShown) {
        m_autosaveShown = true;
        m_presenter(ToolWindowFrame::kCaption.toString(),
                    QStringLiteral("Auto-save could not save your entries. It keeps trying every "
                                   "minute; this message is not shown again.\n\n%1")
                        .arg(firstError(results)));
    }
    return false;
}

} // namespace varneth
