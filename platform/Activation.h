#pragma once

#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <optional>

namespace varneth {

// What a launcher hands a program it starts so that the program's window may come to the
// front although another program has the focus: the X11 startup-notification id, which
// carries the time of the user's click, and the Wayland activation token.
struct Activation
{
    QString startupId;
    QString activationToken;

    // As the launcher passed them to this process. Read it before the QGuiApplication
    // exists: Qt's X11 platform takes DESKTOP_STARTUP_ID out of the environment.
    static Activation fromEnvironment();
    // Takes both out of this process's environment once Qt has used them (X11 takes the id
    // when it connects, Wayland the token when the first window asks to be active): the
    // xdg-activation protocol asks a client to drop the token after reading it, and a
    // launch is used once.
    static void removeFromEnvironment();

    // The platform data of org.freedesktop.Application's methods, and back.
    QVariantMap platformData() const;
    static Activation fromPlatformData(const QVariantMap& data);

    // The X server time the startup id carries after "_TIME", if any.
    std::optional<std::uint32_t> startupTime() const;
};

} // namespace varneth
