#include "CursorBlinkLimiter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace varneth {

CursorBlinkLimiter::CursorBlinkLimiter(int idleMilliseconds, QObject* parent)
    : QObject(parent), m_flashTime(QGuiApplication::styleHints()->cursorFlashTime())
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(idleMilliseconds);
    connect(&m_idle, &QTimer::timeout, this, &CursorBlinkLimiter::stopBlinking);
    QCoreApplication::instance()->installEventFilter(this);
    m_idle.start();
}

CursorBlinkLimiter::~CursorBlinkLimiter()
{
    QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
}

bool CursorBlinkLimiter::isBlinking() const
{
    return QGuiApplication::styleHints()->cursorFlashTime() != 0;
}

void CursorBlinkLimiter::stopBlinking()
{
    // A flash time of 0 shows the cursor steadily rather than hiding it.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void CursorBlinkLimiter::resumeBlinking()
{
    if (!isBlinking()) {
        QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
    }
    m_idle.start();
}

bool CursorBlinkLimiter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
    case QEvent::InputMethod:
        resumeBlinking();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace varneth
