#include "ClockPanel.h"

#include <QLocale>
#include <QRegularExpression>

namespace varneth {

ClockPanel::ClockPanel(Show what, Clock clock, QWidget* parent)
    : QLabel(parent), m_show(what), m_clock(std::move(clock))
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5% early, which on a minute would leave the old
    // minute showing for seconds.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ClockPanel::refresh);
    refresh();
}

void ClockPanel::refresh()
{
    const QDateTime now = m_clock();
    const QLocale locale;
    setText(m_show == Show::Date ? locale.toString(now.date(), QLocale::ShortFormat)
                                 : locale.toString(now.time(), hoursAndMinutes(locale)));
    m_timer.start(msecsToNextMinute());
}

QString ClockPanel::hoursAndMinutes(const QLocale& locale)
{
    // Some locales' short time format still carries seconds ("HH:mm:ss" in C); the panel
    // changes once a minute, so they are dropped with the separator before them.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    static const QRegularExpression seconds(QStringLiteral("[^hHmaAp']*s+(\\.z+)?"));
    format.remove(seconds);
    return format.trimmed();
}

int ClockPanel::msecsToNextMinute() const
{
    const QTime now = m_clock().time();
    const int intoMinute = now.second() * 1000 + now.msec();
    // A few milliseconds past the minute, so the new minute has surely begun.
    return 60000 - intoMinute + 5;
}

} // namespace varneth
