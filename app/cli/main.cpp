#include <iostream>

#include "app/cli/runner.h"

#if defined(_WIN32)
#include <string>
#include <vector>

#include "base/windows_text.h"

int main() {
    const std::vector<std::string> arguments = vorskal::commandLineArguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    return vorskal::runTallyCommand(static_cast<int>(argv.size()), argv.data(), std::cout,
                                    std::cerr);
}
#else
int main(int argc, char** argv) {
    return vorskal::runTallyCommand(argc, argv, std::cout, std::cerr);
}
#endif
