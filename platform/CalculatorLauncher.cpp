#include "CalculatorLauncher.h"

#include "PlatformLog.h"
#include "PlatformSelection.h"

#include <QProcess>
#include <QStandardPaths>

namespace varneth {

QStringList CalculatorLauncher::candidates()
{
    return {QStringLiteral("gnome-calculator"),
            QStringLiteral("kcalc"),
            QStringLiteral("qalculate-qt"),
            QStringLiteral("qalculate-gtk"),
            QStringLiteral("galculator"),
            QStringLiteral("mate-calc"),
            QStringLiteral("xcalc")};
}

QString CalculatorLauncher::findCalculator()
{
    const QStringList names = candidates();
    for (const QString& name : names) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return {};
}

void CalculatorLauncher::launch()
{
    const QString program = findCalculator();
    if (program.isEmpty()) {
        qCWarning(lcPlatform).noquote()
            << "no calculator found on PATH (looked for"
            << candidates().join(QLatin1String(", ")) + QLatin1Char(')');
        return;
    }
    QProcess process;
    process.setProgram(program);
    // The platform this program chose for itself is not the calculator's to inherit: a
    // Qt calculator on a Wayland desktop belongs on Wayland.
    process.setProcessEnvironment(PlatformSelection::startEnvironment());
    if (!process.startDetached()) {
        qCWarning(lcPlatform).noquote() << "could not start" << program;
    }
}

} // namespace varneth
