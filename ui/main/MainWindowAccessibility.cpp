#include "MainWindowAccessibility.h"

#include "MainWindow.h"

#include <QAccessibleWidget>

namespace varneth {

namespace {

QAccessibleInterface* createInterface(const QString&, QObject* object)
{
    if (auto* window = qobject_cast<MainWindow*>(object)) {
        return new QAccessibleWidget(window, QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void MainWindowAccessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace varneth
