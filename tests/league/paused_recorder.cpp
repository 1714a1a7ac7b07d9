// vorskal-tally or vorskal-league, stopped inside its transaction (to kill
// it there, or to make two overlap) by the league's seam for tests, which the
// installed programs never set.
//   vorskal_paused_recorder MARK MS tally|league ARGS...
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "app/cli/runner.h"
#include "app/league/league_command.h"
#include "league/store/game_store.h"

namespace {

std::string mark;
int pauseMs = 0;

void pause() {
    std::ofstream(mark) << "inside the transaction\n";
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: vorskal_paused_recorder MARK MS tally|league ARGS...\n";
        return 64;
    }
    mark = argv[1];
    pauseMs = std::atoi(argv[2]);
    vorskal::league::insideRecordingForTests = pause;
    const std::string program = argv[3];
    argv[3] = argv[0];  // the program's own arguments start after it
    if (program == "tally") {
        return vorskal::runTallyCommand(argc - 3, argv + 3, std::cout, std::cerr);
    }
    return vorskal::runLeagueCommand(argc - 3, argv + 3, std::cout, std::cerr);
}
