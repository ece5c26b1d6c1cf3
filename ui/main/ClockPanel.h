#pragma once

#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <functional>

namespace varneth {

// A status-bar panel that shows today's date or the time in hours and minutes, in the
// user's regional format, and keeps itself current: it wakes once a minute, on the
// minute, and at no other time.
class ClockPanel : public QLabel
{
    Q_OBJECT

public:
    enum class Show
    {
        Date,
        Time
    };
    using Clock = std::function<QDateTime()>;

    ClockPanel(Show what, Clock clock, QWidget* parent = nullptr);

    // Shows the clock's current reading and waits for the next minute.
    void refresh();
    // How long until the next refresh; exposed for tests.
    int msecsToNextMinute() const;
    // The locale's short time format without seconds.
    static QString hoursAndMinutes(const QLocale& locale);

private:
    Show m_show;
    Clock m_clock;
    QTimer m_timer;
};

} // namespace varneth
