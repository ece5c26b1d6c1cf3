#include "SingleInstance.h"

#include "UiLog.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QTimer>

namespace varneth {

namespace {

// RequestName's flag and answer (D-Bus specification): fail rather than queue for the name.
constexpr uint kDoNotQueue = 0x4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kInQueue = 2;
constexpr uint kAlreadyOwner = 4;

const QString kBus = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kInterface = QStringLiteral("org.freedesktop.Application");
const QString kClosingError = QStringLiteral("org.holbreck.varneth.Error.Closing");

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
    // A few rounds at most: the owner may end, or hand over to a start queued before us,
    // between our request and its answer.
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (requestName(kDoNotQueue)) {
        case Request::Owned:
            return Outcome::First;
        case Request::Failed:
            m_bus.unregisterObject(kPath);
            return Outcome::NoSessionBus;
        case Request::Queued:
        case Request::Taken:
            break;
        }
        const Answer answer = activateOwner(launch);
        if (answer == Answer::Activated) {
            return Outcome::Activated;
        }
        if (answer == Answer::Closing) {
            const Wait waited = awaitName();
            if (waited == Wait::Owned) {
                return Outcome::First;
            }
            if (waited == Wait::TimedOut) {
                m_failure = QStringLiteral("VARNETH is closing, but did not end within %1 s; "
                                           "start it again once it has.")
                                .arg(kClosingTimeout.count() / 1000);
                break;
            }
        } else if (answer == Answer::None) {
            break;
        }
    }
    if (m_failure.isEmpty()) {
        m_failure = QStringLiteral("VARNETH is running already, but kept changing hands.");
    }
    m_bus.unregisterObject(kPath);
    return Outcome::NoAnswer;
}

SingleInstance::Request SingleInstance::requestName(uint flags)
{
    QDBusMessage request =
        QDBusMessage::createMethodCall(kBus, kBusPath, kBus, QStringLiteral("RequestName"));
    request << kService << flags;
    const QDBusMessage reply =
        m_bus.call(request, QDBus::Block, static_cast<int>(kAnswerTimeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCWarning(lcUi).noquote() << "the session bus did not give out" << kService << ":"
                                  << reply.errorMessage();
        return Request::Failed;
    }
    switch (reply.arguments().constFirst().toUInt()) {
    case kPrimaryOwner:
    case kAlreadyOwner:
        return Request::Owned;
    case kInQueue:
        return Request::Queued;
    default:
        return Request::Taken;
    }
}

SingleInstance::Answer SingleInstance::activateOwner(const Activation& launch)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Activate"));
    call << launch.platformData();
    const QDBusMessage reply =
        m_bus.call(call, QDBus::Block, static_cast<int>(kAnswerTimeout.count()));
    if (reply.type() == QDBusMessage::ReplyMessage) {
        return Answer::Activated;
    }
    if (reply.errorName() == kClosingError) {
        return Answer::Closing;
    }
    if (!m_bus.interface()->isServiceRegistered(kService).value()) {
        return Answer::Gone;
    }
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
    return Answer::None;
}

// In the bus's queue for the name, until the closing owner lets go of it: the bus then
// gives it to the first start in the queue.
SingleInstance::Wait SingleInstance::awaitName()
{
    QDBusServiceWatcher watcher(kService, m_bus, QDBusServiceWatcher::WatchForOwnerChange);
    QEventLoop loop;
    bool handedOver = false;
    connect(&watcher, &QDBusServiceWatcher::serviceOwnerChanged, &loop,
            [&loop, &handedOver](const QString&, const QString&, const QString& owner) {
                if (!owner.isEmpty()) {
                    handedOver = true;
                    loop.quit();
                }
            });
    QTimer::singleShot(kClosingTimeout, &loop, &QEventLoop::quit);
    const Request request = requestName(0);
    if (request == Request::Owned) {
        return Wait::Owned;
    }
    if (request == Request::Queued) {
        // The owner may have changed before the watcher listened.
        const QString before = m_bus.interface()->serviceOwner(kService).value();
        if (before == m_bus.baseService()) {
            return Wait::Owned;
        }
        loop.exec();
    }
    const QString owner = m_bus.interface()->serviceOwner(kService).value();
    if (owner == m_bus.baseService()) {
        return Wait::Owned;
    }
    // Out of the queue: another start got in first, or time is up.
    m_bus.interface()->unregisterService(kService);
    return handedOver && !owner.isEmpty() ? Wait::OtherOwner : Wait::TimedOut;
}

void SingleInstance::Activate(const QVariantMap& platformData)
{
    if (m_activator && m_activator(Activation::fromPlatformData(platformData))) {
        return;
    }
    sendErrorReply(kClosingError, QStringLiteral("VARNETH is closing"));
}

void SingleInstance::release()
{
    if (m_bus.isConnected()) {
        m_bus.interface()->unregisterService(kService);
    }
}

} // namespace varneth
