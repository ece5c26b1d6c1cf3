#include "Activation.h"

#include <QtGlobal>

namespace varneth {

namespace {

const QString kStartupIdKey = QStringLiteral("desktop-startup-id");
const QString kActivationTokenKey = QStringLiteral("activation-token");

} // namespace

Activation Activation::fromEnvironment()
{
    return {qEnvironmentVariable("DESKTOP_STARTUP_ID"),
            qEnvironmentVariable("XDG_ACTIVATION_TOKEN")};
}

void Activation::removeFromEnvironment()
{
    qunsetenv("DESKTOP_STARTUP_ID");
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

QVariantMap Activation::platformData() const
{
    QVariantMap data;
    if (!startupId.isEmpty()) {
        data.insert(kStartupIdKey, startupId);
    }
    if (!activationToken.isEmpty()) {
        data.insert(kActivationTokenKey, activationToken);
    }
    return data;
}

Activation Activation::fromPlatformData(const QVariantMap& data)
{
    // Anything but a string is not what a launcher sends; it counts as absent.
    const auto text = [&data](const QString& key) {
        const QVariant value = data.value(key);
        return value.typeId() == QMetaType::QString ? value.toString() : QString();
    };
    return {text(kStartupIdKey), text(kActivationTokenKey)};
}

std::optional<std::uint32_t> Activation::startupTime() const
{
    // Launchers end the id with "_TIME" and the decimal X server time of the click that
    // started them; ids without it (Wayland tokens passed on under XWayland) carry none.
    const qsizetype at = startupId.lastIndexOf(QLatin1String("_TIME"));
    if (at < 0) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong time = startupId.mid(at + 5).toULongLong(&ok, 10);
    if (!ok || time == 0 || time > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(time);
}

} // namespace varneth
