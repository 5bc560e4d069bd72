#pragma once
// SIGTERM, SIGINT and SIGHUP (kill, Ctrl+C in the terminal that started the
// program, logout or shut-down) end the program as File > Exit does on the
// air side, without a question: the handler only writes the signal's number
// to a pipe (the self-pipe trick); a socket notifier on the pipe's read end
// runs, on the thread that made this object, every step added with AddStep
// in order, then the air-side shut-down given to the constructor, then makes
// every running event loop return 128 + the signal's number (143 for
// SIGTERM), as a shell reports a process ended by that signal.
//
// The first signal puts the default action back for all three, so a second
// one while shutting down ends the process at once.
//
// One object at a time; it puts the previous handlers back when destroyed.
// Made, used and destroyed on the thread of the event loop (the window's).
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void()> shutDown, QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Run before the shut-down, in the order added (keeping the session's
    // text, say). A step must not wait for the user.
    void AddStep(std::function<void()> step);
    // The signal that started the shut-down; 0 before any.
    int Received() const { return m_nReceived; }

private:
    void OnSignalled();

    std::function<void()> m_shutDown;
    std::vector<std::function<void()>> m_steps;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_nReceived = 0;
};
