#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <system_error>

#include "app/cli/follow_pace.h"

namespace vorskal {
namespace {

// The signal handler's only ways out: a flag, and a byte into a pipe that
// wakes the wait at once.
volatile std::sig_atomic_t endAsked = 0;
int wakeRead = -1;
int wakeWrite = -1;
struct sigaction formerInterrupt {};
struct sigaction formerTerminate {};

extern "C" void askEnd(int /*signal*/) {
    const int saved = errno;
    endAsked = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite, &byte, 1);
    errno = saved;
}

}  // namespace

SystemPace::SystemPace() {
    int ends[2];
    if (::pipe(ends) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot make the wake pipe");
    }
    for (const int end : ends) {
        ::fcntl(end, F_SETFL, O_NONBLOCK);
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    wakeRead = ends[0];
    wakeWrite = ends[1];
    endAsked = 0;
    struct sigaction ask {};
    ask.sa_handler = askEnd;
    sigemptyset(&ask.sa_mask);
    ::sigaction(SIGINT, &ask, &formerInterrupt);
    ::sigaction(SIGTERM, &ask, &formerTerminate);
}

SystemPace::~SystemPace() {
    ::sigaction(SIGINT, &formerInterrupt, nullptr);
    ::sigaction(SIGTERM, &formerTerminate, nullptr);
    ::close(wakeRead);
    ::close(wakeWrite);
    wakeRead = wakeWrite = -1;
}

bool SystemPace::wait(int seconds) {
    using Steady = std::chrono::steady_clock;
    const Steady::time_point until = Steady::now() + std::chrono::seconds(seconds);
    while (endAsked == 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Steady::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd wake{wakeRead, POLLIN, 0};
        ::poll(&wake, 1, static_cast<int>(left));  // a signal ends it early (EINTR or the byte)
    }
    return true;
}

}  // namespace vorskal
