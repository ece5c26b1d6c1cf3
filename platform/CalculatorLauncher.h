#pragma once

#include <QStringList>

namespace varneth {

// Starts the desktop's calculator. The program's calculator button stands for a system
// calculator started with raised rights; a calculator needs none, and a graphical program
// run as root on the user's display is a hazard, so it runs with the user's own rights.
class CalculatorLauncher
{
public:
    // The calculators looked for on PATH, the preferred first.
    static QStringList candidates();

    // The full path of the first candidate found on PATH, or empty.
    static QString findCalculator();

    // Starts the calculator detached, without arguments and without a shell, in the
    // environment the program itself was started with. A missing calculator or a failed
    // start gets one log line; the outcome is not reported.
    static void launch();
};

} // namespace varneth
