#include "app/SignalWatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace qf {

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void OnSignal(int signalNumber) {
    // Only what is safe in a handler: one write, errno kept for the code it interrupted.
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

CSignalWatcher::CSignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CSignalWatcher::OnReadable);
    for (const int number : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted system calls go on: the event loop sees the signal soon enough.
        action.sa_flags = SA_RESTART;
        struct sigaction previous {};
        if (::sigaction(number, &action, &previous) == 0) {
            m_previous.emplace_back(number, previous);
        }
    }
}

CSignalWatcher::~CSignalWatcher() {
    for (const auto& [number, previous] : m_previous) {
        ::sigaction(number, &previous, nullptr);
    }
    if (m_notifier != nullptr) {
        delete m_notifier;
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        g_pipe[0] = g_pipe[1] = -1;
    }
}

void CSignalWatcher::OnReadable() {
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) {
        emit caught(byte);
    }
}

}  // namespace qf
