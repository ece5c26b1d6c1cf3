#include "CalculatorLauncher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtDebug>

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

void CalculatorLauncher::launch(const QString& verb, const QString& file, const QString& parameters,
                                const QString& directory)
{
    if (file.compare(QLatin1String("calc.exe"), Qt::CaseInsensitive) != 0) {
        qWarning().noquote() << "varneth: not starting" << file
                             << "- only the calculator can be started";
        return;
    }
    // "runas" asks for raised rights, but a calculator needs none, and a graphical program
    // run as root on the user's display is a hazard; it runs with the user's own rights.
    if (!verb.isEmpty() && verb.compare(QLatin1String("runas"), Qt::CaseInsensitive) != 0 &&
        verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0) {
        qWarning().noquote() << "varneth: not starting the calculator with the unknown verb"
                             << verb;
        return;
    }
    const QString program = findCalculator();
    if (program.isEmpty()) {
        qWarning().noquote() << "varneth: no calculator found on PATH (looked for"
                             << candidates().join(QLatin1String(", ")) + QLatin1Char(')');
        return;
    }
    // The parameters are split the way a command line is, quotes included, but no shell
    // ever sees them: they reach the calculator as its arguments, verbatim.
    const QStringList arguments =
        parameters.trimmed().isEmpty() ? QStringList() : QProcess::splitCommand(parameters);
    if (!QProcess::startDetached(program, arguments, directory)) {
        qWarning().noquote() << "varneth: could not start" << program;
    }
}

} // namespace varneth
