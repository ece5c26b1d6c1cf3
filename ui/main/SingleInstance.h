#pragma once

#include "Activation.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>
#include <chrono>
#include <functional>

namespace varneth {

// One VARNETH per session, as GApplication and KDE's unique applications keep one: the
// first start owns the name org.holbreck.varneth on the session bus and answers
// org.freedesktop.Application.Activate at /org/holbreck/varneth; a later start finds the
// name taken, asks its owner to activate, and ends without a window and without touching
// the store. Two windows over one store would each write their own entries over the
// other's. An owner that is closing refuses; the later start then waits in the bus's queue
// for the name, which the closing program gives up once it has stored everything, and runs
// the program itself.
class SingleInstance : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    enum class Outcome
    {
        First,        // this process owns the name: run the program
        NoSessionBus, // run the program, as one alone
        Activated,    // the running program has been asked to come to the front: end
        NoAnswer      // another program owns the name but did not answer, or was closing and
                      // did not end in time: end, say why
    };

    static inline const QString kService = QStringLiteral("org.holbreck.varneth");
    static inline const QString kPath = QStringLiteral("/org/holbreck/varneth");

    // How long a later start waits for the running program's answer.
    static constexpr std::chrono::milliseconds kAnswerTimeout{3000};
    // How long it waits for a closing program to end: long enough to read and dismiss a
    // message the close shows, short of the 30 s after which launchers give up their
    // startup feedback.
    static constexpr std::chrono::milliseconds kClosingTimeout{20000};

    explicit SingleInstance(QDBusConnection bus = QDBusConnection::sessionBus(),
                            QObject* parent = nullptr);

    // Takes the name, or hands the launch to the program that has it. Call it before any
    // window exists.
    Outcome claim(const Activation& launch);
    // Why the last claim() found no answer, for the user.
    const QString& failure() const { return m_failure; }

    // What Activate does; it returns false once the program is closing, and the start that
    // asked then waits for release().
    void setActivator(std::function<bool(const Activation&)> activator)
    {
        m_activator = std::move(activator);
    }

    // Lets go of the name, once the program has stored everything, for a start waiting.
    void release();

public slots:
    // org.freedesktop.Application.Activate(a{sv} platform_data).
    Q_SCRIPTABLE void Activate(const QVariantMap& platformData);

private:
    enum class Request
    {
        Owned,
        Queued,
        Taken,
        Failed
    };
    enum class Answer
    {
        Activated,
        Closing,
        Gone, // the owner ended between our request and its answer
        None
    };
    enum class Wait
    {
        Owned,
        OtherOwner,
        TimedOut
    };
    Request requestName(uint flags);
    Answer activateOwner(const Activation& launch);
    Wait awaitName();

    QDBusConnection m_bus;
    std::function<bool(const Activation&)> m_activator;
    QString m_failure;
};

} // namespace varneth
