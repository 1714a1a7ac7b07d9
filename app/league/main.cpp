#include "app/league/league_command.h"
#include "base/command_line.h"

int main(int argc, char** argv) {
    return vorskal::runCommandLine(vorskal::runLeagueCommand, argc, argv);
}
