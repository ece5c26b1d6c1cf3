#include "SingleInstance.h"

#include "UiLog.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace varneth {

namespace {

// RequestName's flag and answer (D-Bus specification): fail rather than queue for the name.
constexpr uint kDoNotQueue = 0x4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kAlreadyOwner = 4;

const QString kInterface = QStringLiteral("org.freedesktop.Application");

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus))
{
}

SingleInstance::Outcome SingleInstance::claim(const Activation& launch)
{
    if (!m_bus.isConnected()) {
        qCInfo(lcUi).noquote() << "no session bus, so no check for a running VARNETH:"
                               << m_bus.lastError().message();
        return Outcome::NoSessionBus;
    }
    // The object is there before the name, so a start that finds the name can call it at
    // once; its call waits in our queue until the window is up.
    if (!m_bus.registerObject(kPath, this, QDBusConnection::ExportScriptableSlots)) {
        qCWarning(lcUi).noquote() << "cannot offer" << kPath
                                  << "on the session bus:" << m_bus.lastError().message();
        return Outcome::NoSessionBus;
    }
    // Twice at most: a program that was closing when we asked lets go of the name.
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (requestName()) {
        case Request::Owned:
            return Outcome::First;
        case Request::Failed:
            m_bus.unregisterObject(kPath);
            return Outcome::NoSessionBus;
        case Request::Taken:
            break;
        }
        bool ownerGone = false;
        if (activateOwner(launch, ownerGone)) {
            return Outcome::Activated;
        }
        if (!ownerGone) {
            break;
        }
    }
    m_bus.unregisterObject(kPath);
    return Outcome::NoAnswer;
}

SingleInstance::Request SingleInstance::requestName()
{
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    request << kService << kDoNotQueue;
    const QDBusMessage reply =
        m_bus.call(request, QDBus::Block, static_cast<int>(kAnswerTimeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCWarning(lcUi).noquote() << "the session bus did not give out" << kService << ":"
                                  << reply.errorMessage();
        return Request::Failed;
    }
    const uint answer = reply.arguments().constFirst().toUInt();
    return answer == kPrimaryOwner || answer == kAlreadyOwner ? Request::Owned : Request::Taken;
}

bool SingleInstance::activateOwner(const Activation& launch, bool& ownerGone)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Activate"));
    call << launch.platformData();
    const QDBusMessage reply =
        m_bus.call(call, QDBus::Block, static_cast<int>(kAnswerTimeout.count()));
    if (reply.type() == QDBusMessage::ReplyMessage) {
        return true;
    }
    // The owner ended, or was closing and let go, between our request and its answer.
    ownerGone = !m_bus.interface()->isServiceRegistered(kService).value();
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")) {
        m_failure = QStringLiteral("VARNETH is running already, but did not answer within %1 s. "
                                   "It may be busy or stopped; no second window is opened, so "
                                   "that the two do not write over each other's entries.")
                        .arg(kAnswerTimeout.count() / 1000);
    } else {
        m_failure = QStringLiteral("VARNETH is running already, but could not be asked to come "
                                   "to the front: %1")
                        .arg(reply.errorMessage());
    }
    return false;
}

void SingleInstance::Activate(const QVariantMap& platformData)
{
    if (m_activator && m_activator(Activation::fromPlatformData(platformData))) {
        return;
    }
    // Closing: the start that asked takes over once the name is free.
    m_bus.interface()->unregisterService(kService);
    sendErrorReply(QStringLiteral("org.holbreck.varneth.Error.Closing"),
                   QStringLiteral("VARNETH is closing"));
}

} // namespace varneth
