#pragma once

namespace varneth {

// Starts the desktop's calculator. The program's calculator button stands for a system
// calculator started with raised rights; a calculator needs none, and a graphical program
// run as root on the user's display is a hazard, so it runs with the user's own rights.
class CalculatorLauncher
{
public:
    // Starts the calculator CalculatorFinder chooses now, detached and without a shell, in
    // the environment the program itself was started with. Returns whether one started; a
    // missing calculator or a failed start gets a log line.
    static bool launch();
};

} // namespace varneth
