#pragma once

#include <QObject>
#include <QTimer>

namespace varneth {

// A timer with an enabled flag and an interval that are set independently. Unlike a
// bare QTimer, an interval of 0 means "never fires" rather than "fire continuously", so
// a timer can be enabled before its interval is known without spinning the CPU.
class IntervalTimer : public QObject
{
    Q_OBJECT

public:
    IntervalTimer(const QString& name, bool enabled, QObject* parent);

    bool isEnabled() const { return m_enabled; }
    int interval() const { return m_interval; }
    // Whether it will fire: enabled, with a non-zero interval.
    bool isRunning() const { return m_timer.isActive(); }

    void setEnabled(bool enabled);
    void setInterval(int milliseconds);

signals:
    void tick();

private:
    void update();

    QTimer m_timer;
    bool m_enabled = false;
    int m_interval = 0;
};

} // namespace varneth
