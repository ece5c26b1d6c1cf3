#pragma once

#include <QObject>
#include <QPoint>
#include <optional>

class QWidget;

namespace varneth {

// Keeps a window of fixed size at that size. Some window managers obey another client's
// resize request or maximise a window even when its size hints say it cannot change
// (IceWM, Fluxbox); the window then puts its own size back as soon as it is told of the
// change, drops the maximised or full-screen state that came with it, and goes back to
// where it was before: Fluxbox leaves a maximise undone at the top of the screen.
class FixedSizeKeeper : public QObject
{
    Q_OBJECT

public:
    explicit FixedSizeKeeper(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restoreSize();

    QWidget& m_window;
    // Where the window last stood at its own size and in no imposed state.
    std::optional<QPoint> m_place;
    bool m_pending = false;
    // Corrections in a row without the window manager taking one: a manager that insists
    // is not argued with for ever.
    int m_refused = 0;
};

} // namespace varneth
