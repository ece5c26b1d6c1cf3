#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <memory>

namespace varneth {

// Brings SIGTERM (the session ending), SIGHUP (the terminal closing) and SIGINT (Ctrl+C)
// into the event loop, where the program can close as the user would. The handler only
// writes the signal's number into a pipe; the notifier reads it on the event loop's turn.
// One instance at a time; the previous handlers come back when it goes.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readPipe();

    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_previous[3] = {};
};

} // namespace varneth
