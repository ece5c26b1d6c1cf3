#pragma once

#include "Platform.h"

#include <QList>

namespace varneth {

// A platform that records every call in order and answers foreground queries from a
// script, for tests of the code that drives the platform.
class FakePlatform : public Platform
{
public:
    struct Call
    {
        enum class Kind
        {
            Foreground,
            SetTopmost,
            StartCalculator,
            Activate
        };
        Kind kind = Kind::Foreground;
        WindowHandle window = 0; // Foreground: the answer; SetTopmost, Activate: the target
        bool topmost = false;
        Activation launch; // Activate: what the launcher gave
    };

    // Foreground queries are answered in this order; the last answer then repeats.
    void setForegroundAnswers(QList<WindowHandle> answers);
    void setForeground(WindowHandle window) { setForegroundAnswers({window}); }

    const QList<Call>& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

    WindowHandle foregroundWindow() override;
    void setTopmost(WindowHandle window, bool topmost) override;
    // Records the call; answers whether a calculator started, yes unless told.
    bool startCalculator() override;
    void setCalculatorStarts(bool starts) { m_calculatorStarts = starts; }
    void activate(QWindow& window, const Activation& launch) override;

    // Windows given the tool-window hints, in order. Kept apart from calls() because they
    // are frame set-up, not the keep-on-top and calculator traffic that calls() follows.
    void prepareToolWindow(WindowHandle window) override { m_preparedToolWindows.append(window); }
    const QList<WindowHandle>& preparedToolWindows() const { return m_preparedToolWindows; }

    // Whether a window asked into the always-on-top group is in it; yes unless told.
    // Not recorded in calls(): it asks the desktop for nothing.
    bool isTopmost(WindowHandle /*window*/) override { return m_grantsTopmost; }
    void setGrantsTopmost(bool grants) { m_grantsTopmost = grants; }

    // Whether the desktop lets a window keep itself above others; yes unless told.
    bool canKeepOnTop() override { return m_canKeepOnTop; }
    void setCanKeepOnTop(bool can) { m_canKeepOnTop = can; }

private:
    QList<WindowHandle> m_answers;
    qsizetype m_next = 0;
    QList<Call> m_calls;
    QList<WindowHandle> m_preparedToolWindows;
    bool m_canKeepOnTop = true;
    bool m_grantsTopmost = true;
    bool m_calculatorStarts = true;
};

} // namespace varneth
