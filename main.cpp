#include "Platform.h"
#include "PlatformSelection.h"
#include "Program.h"
#include "SettingsStore.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    using namespace varneth;

    PlatformSelection::preferX11();
    QApplication app(argc, argv);
    const std::unique_ptr<Platform> platform = Platform::create();
    SettingsStore store;
    Program program(*platform, store);
    program.start();
    return QApplication::exec();
}
