#include <iostream>

#include "app/league/league_command.h"

#if defined(_WIN32)
#include <string>
#include <vector>

#include "base/windows_text.h"

int main() {
    // UTF-8 from the wide command line: main()'s own arguments are in the
    // system's code page, which cannot hold every file name.
    const std::vector<std::string> arguments = vorskal::commandLineArguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    return vorskal::runLeagueCommand(static_cast<int>(argv.size()), argv.data(), std::cout,
                                     std::cerr);
}
#else
int main(int argc, char** argv) {
    return vorskal::runLeagueCommand(argc, argv, std::cout, std::cerr);
}
#endif
