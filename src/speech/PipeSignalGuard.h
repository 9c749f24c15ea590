#pragma once
// Writing to a socket whose peer has gone raises SIGPIPE, which would end
// the program. Client libraries that write with plain write() are called
// inside this guard: the signal is held back on this thread and discarded.
#include <csignal>
#include <ctime>
#include <pthread.h>

class PipeSignalGuard {
public:
    PipeSignalGuard()
    {
        sigemptyset(&pipeOnly_);
        sigaddset(&pipeOnly_, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeOnly_, &previous_);
    }
    ~PipeSignalGuard()
    {
        if (!wasPending_) {
            const timespec noWait{0, 0};
            while (sigtimedwait(&pipeOnly_, nullptr, &noWait) > 0) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    PipeSignalGuard(const PipeSignalGuard&) = delete;
    PipeSignalGuard& operator=(const PipeSignalGuard&) = delete;

private:
    sigset_t pipeOnly_;
    sigset_t previous_;
    bool wasPending_ = false;
};
