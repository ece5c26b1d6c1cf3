#include "FakePlatform.h"

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

void FakePlatform::shellExecute(WindowHandle parent, const QString& verb, const QString& file,
                                const QString& parameters, const QString& directory,
                                int showCommand)
{
    Call call;
    call.kind = Call::Kind::ShellExecute;
    call.window = parent;
    call.verb = verb;
    call.file = file;
    call.parameters = parameters;
    call.directory = directory;
    call.showCommand = showCommand;
    m_calls.append(call);
}

} // namespace varneth
