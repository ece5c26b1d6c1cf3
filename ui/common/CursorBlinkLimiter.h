#pragma once

#include <QObject>
#include <QTimer>

namespace varneth {

// Stops the text cursor blinking after a while without input, as GTK does. A blinking
// cursor repaints its field twice a second for as long as the program runs, which is
// most of what an idle window left open all day would otherwise cost. Any key, click or
// focus change brings the blinking back at once.
class CursorBlinkLimiter : public QObject
{
    Q_OBJECT

public:
    explicit CursorBlinkLimiter(int idleMilliseconds = 10000, QObject* parent = nullptr);
    ~CursorBlinkLimiter() override;

    bool isBlinking() const;
    // Stops the blinking now, as the idle timer does; for tests.
    void stopBlinking();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void resumeBlinking();

    QTimer m_idle;
    int m_flashTime;
};

} // namespace varneth
