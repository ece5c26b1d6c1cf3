#include "Activation.h"
#include "CommandLine.h"
#include "Platform.h"
#include "PlatformSelection.h"
#include "Program.h"
#include "SettingsStore.h"
#include "SingleInstance.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    using namespace varneth;

    if (const std::optional<int> status = CommandLine::handle(argc, argv)) {
        return *status;
    }
    const Activation launch = Activation::fromEnvironment();
    PlatformSelection::preferX11();
    QApplication app(argc, argv);
    const std::unique_ptr<Platform> platform = Platform::create();

    SingleInstance instance;
    switch (instance.claim(launch)) {
    case SingleInstance::Outcome::First:
    case SingleInstance::Outcome::NoSessionBus:
        break;
    case SingleInstance::Outcome::Activated:
        return 0;
    case SingleInstance::Outcome::NoAnswer:
        // No window of ours will end the launcher's startup feedback, and no other VARNETH.
        platform->completeLaunch(launch);
        std::fprintf(stderr, "varneth: %s\n", qPrintable(instance.failure()));
        return 1;
    }

    SettingsStore store;
    Program program(*platform, store);
    instance.setActivator([&program](const Activation& again) { return program.activate(again); });
    // Everything is stored: a start waiting for the name may take over.
    QObject::connect(&program.controller(), &MainWindowController::closed, &instance,
                     &SingleInstance::release);
    program.start();
    // The window has been shown and has asked to be active: the launch data is used.
    Activation::removeFromEnvironment();
    return QApplication::exec();
}
