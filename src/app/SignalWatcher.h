// Termination signals taken through the event loop: the handler only writes the signal's
// number into a pipe, and a socket notifier on its other end reports it as caught(), where
// the program may close its port, write its settings and save.
#pragma once

#include <QObject>
#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace qf {

class CSignalWatcher : public QObject {
    Q_OBJECT
public:
    // One watcher at a time; the signals' previous handlers come back when it goes.
    explicit CSignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~CSignalWatcher() override;

    bool IsWatching() const { return m_notifier != nullptr; }

signals:
    void caught(int signalNumber);

private:
    void OnReadable();

    QSocketNotifier* m_notifier = nullptr;
    std::vector<std::pair<int, struct sigaction>> m_previous;
};

}  // namespace qf
