#include "CalculatorLauncher.h"

#include "CalculatorFinder.h"
#include "PlatformLog.h"
#include "PlatformSelection.h"

#include <QProcess>

namespace varneth {

bool CalculatorLauncher::launch()
{
    // The platform this program chose for itself is not the calculator's to inherit: a
    // Qt calculator on a Wayland desktop belongs on Wayland.
    const QProcessEnvironment environment = PlatformSelection::startEnvironment();
    const std::optional<CalculatorFinder::Command> command = CalculatorFinder(environment).find();
    if (!command) {
        qCWarning(lcPlatform).noquote()
            << "no calculator found: no menu entry in the Calculator category, and none of"
            << CalculatorFinder::pathNames().join(QLatin1String(", ")) << "on PATH";
        return false;
    }
    QProcess process;
    process.setProgram(command->program);
    process.setArguments(command->arguments);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(command->workingDirectory);
    if (!process.startDetached()) {
        qCWarning(lcPlatform).noquote() << "could not start" << command->program;
        return false;
    }
    qCInfo(lcPlatform).noquote()
        << "started" << command->program
        << (command->entryPath.isEmpty()
                ? QStringLiteral("(found on PATH)")
                : QStringLiteral("(menu entry %1)").arg(command->entryPath));
    return true;
}

} // namespace varneth
