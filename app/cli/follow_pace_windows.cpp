#include <windows.h>

#include <atomic>
#include <system_error>

#include "app/cli/follow_pace.h"

namespace vorskal {
namespace {

std::atomic<bool> endAsked{false};
HANDLE wake = nullptr;

BOOL WINAPI askEnd(DWORD /*event*/) {
    endAsked = true;
    SetEvent(wake);
    // Handled: the process goes on to its final tally. (Windows still ends
    // a process whose console is closed a few seconds later.)
    return TRUE;
}

}  // namespace

SystemPace::SystemPace() {
    wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (wake == nullptr) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "cannot make the wake event");
    }
    endAsked = false;
    SetConsoleCtrlHandler(askEnd, TRUE);
}

SystemPace::~SystemPace() {
    SetConsoleCtrlHandler(askEnd, FALSE);
    CloseHandle(wake);
    wake = nullptr;
}

bool SystemPace::wait(int seconds) {
    if (!endAsked) {
        WaitForSingleObject(wake, static_cast<DWORD>(seconds) * 1000u);
    }
    return endAsked;
}

}  // namespace vorskal
