#pragma once

#include <QString>
#include <QStringList>

namespace varneth {

// Starts the desktop's calculator for the shell-execute operation of the real platforms.
// "calc.exe" is the only program it starts: nothing else the caller names is executed.
class CalculatorLauncher
{
public:
    // The calculators looked for on PATH, the preferred first.
    static QStringList candidates();

    // The full path of the first candidate found on PATH, or empty.
    static QString findCalculator();

    // Starts the calculator detached with the user's own rights, whether the verb is
    // "runas", "open" or empty. The show command has no counterpart here and is not taken.
    // Any other file or verb is refused, and so is a missing calculator; each with one line
    // on stderr. The outcome is not reported.
    static void launch(const QString& verb, const QString& file, const QString& parameters,
                       const QString& directory);
};

} // namespace varneth
