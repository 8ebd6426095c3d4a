// SIGTERM, SIGHUP and SIGINT (a logout, a closed terminal, Ctrl+C, a system
// shutting down) handed to the event loop as a call, so the program can end
// the normal way and save what it keeps. A second signal of the same kind
// while that runs ends the process at once, as the system would.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

class TQuitSignals : public QObject {
    Q_OBJECT
public:
    // `onQuit` runs on the thread of the event loop, once per signal.
    explicit TQuitSignals(std::function<void(int signal)> onQuit, QObject *parent = nullptr);
    ~TQuitSignals() override;
    TQuitSignals(const TQuitSignals &) = delete;
    TQuitSignals &operator=(const TQuitSignals &) = delete;

private:
    std::function<void(int)> OnQuit;
    QSocketNotifier *Notifier = nullptr;
};
