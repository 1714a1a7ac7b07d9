#pragma once
// How a live run (vorskal-tally --follow) waits between its looks at the
// logs and learns that it should end: one declaration, the system's in
// follow_pace_posix.cpp (SIGINT, SIGTERM) and follow_pace_windows.cpp
// (SetConsoleCtrlHandler), the build compiling the one of its system. Tests
// put a pace of their own in its place, which writes the next part of a game
// instead of sleeping.
//
// Both systems poll: the run looks at the logs' sizes after each wait, so a
// log on any file system, local or shared, is followed alike.

namespace vorskal {

class FollowPace {
  public:
    virtual ~FollowPace() = default;
    // Waits `seconds`, or less when the end is asked meanwhile; true when
    // the end has been asked (now or before).
    virtual bool wait(int seconds) = 0;
};

// The system's: for as long as it lives, SIGINT and SIGTERM (Windows:
// Ctrl-C and Ctrl-Break) ask for the end instead of ending the process; once
// it is gone they end the process as usual. One at a time.
class SystemPace : public FollowPace {
  public:
    SystemPace();
    ~SystemPace() override;
    SystemPace(const SystemPace&) = delete;
    SystemPace& operator=(const SystemPace&) = delete;

    bool wait(int seconds) override;
};

}  // namespace vorskal
