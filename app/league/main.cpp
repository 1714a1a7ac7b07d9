#include <iostream>

#include "app/league/league_command.h"

int main(int argc, char** argv) {
    return vorskal::runLeagueCommand(argc, argv, std::cout, std::cerr);
}
