#include "StoreFailureReporter.h"

#include <QMessageBox>
#include <cstdio>

namespace varneth {

StoreFailureReporter::StoreFailureReporter()
    : StoreFailureReporter([](const QString& title, const QString& text) {
          QMessageBox::warning(nullptr, title, text);
      })
{
}

StoreFailureReporter::StoreFailureReporter(Presenter presenter) : m_presenter(std::move(presenter))
{
}

bool StoreFailureReporter::onWrite(const SettingsStore::WriteResult& result)
{
    if (!result) {
        std::fprintf(stderr, "varneth: settings not saved: %s\n", qPrintable(result.error));
    }
    return result.ok;
}

bool StoreFailureReporter::onActionWrite(const SettingsStore::WriteResult& result)
{
    if (!onWrite(result) && !m_actionShown) {
        m_actionShown = true;
        show(QStringLiteral("Your data could not be saved to the settings file.\n\n%1")
                 .arg(result.error));
    }
    return result.ok;
}

bool StoreFailureReporter::onAutosaveWrite(const SettingsStore::WriteResult& result)
{
    if (!onWrite(result) && !m_autosaveShown) {
        m_autosaveShown = true;
        show(QStringLiteral("Auto-save could not save your entries. It keeps trying every "
                            "minute; this message is not shown again.\n\n%1")
                 .arg(result.error));
    }
    return result.ok;
}

void StoreFailureReporter::show(const QString& text)
{
    ++m_shown;
    m_presenter(QStringLiteral("HOLBRECK - VARNETH"), text);
}

} // namespace varneth
