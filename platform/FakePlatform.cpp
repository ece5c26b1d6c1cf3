#include "FakePlatform.h"

#include <QWindow>

namespace varneth {

void FakePlatform::setForegroundAnswers(QList<WindowHandle> answers)
{
    m_answers = std::move(answers);
    m_next = 0;
}

WindowHandle FakePlatform::foregroundWindow()
{
    WindowHandle answer = 0;
    if (!m_answers.isEmpty()) {
        answer = m_answers.at(std::min(m_next, m_answers.size() - 1));
        ++m_next;
    }
    Call call;
    call.kind = Call::Kind::Foreground;
    call.window = answer;
    m_calls.append(call);
    return answer;
}

void FakePlatform::setTopmost(WindowHandle window, bool topmost)
{
    Call call;
    call.kind = Call::Kind::SetTopmost;
    call.window = window;
    call.topmost = topmost;
    m_calls.append(call);
}

bool FakePlatform::startCalculator()
{
    Call call;
    call.kind = Call::Kind::StartCalculator;
    m_calls.append(call);
    return m_calculatorStarts;
}

void FakePlatform::activate(QWindow& window, const Activation& launch)
{
    Call call;
    call.kind = Call::Kind::Activate;
    call.window = static_cast<WindowHandle>(window.winId());
    call.launch = launch;
    m_calls.append(call);
}

} // namespace varneth
