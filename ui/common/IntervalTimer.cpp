#include "IntervalTimer.h"

namespace varneth {

IntervalTimer::IntervalTimer(const QString& name, bool enabled, QObject* parent)
    : QObject(parent), m_enabled(enabled)
{
    setObjectName(name);
    connect(&m_timer, &QTimer::timeout, this, &IntervalTimer::tick);
}

void IntervalTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    update();
}

void IntervalTimer::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    update();
}

void IntervalTimer::update()
{
    if (m_enabled && m_interval > 0) {
        // Re-arming an already running timer with the same interval would restart its
        // period; leave it be.
        if (!m_timer.isActive() || m_timer.interval() != m_interval) {
            m_timer.start(m_interval);
        }
    } else {
        m_timer.stop();
    }
}

} // namespace varneth
