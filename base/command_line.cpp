#include "base/command_line.h"

#include <iostream>

#if defined(_WIN32)
#include <string>
#include <vector>

#include "base/windows_text.h"
#endif

namespace vorskal {

int runCommandLine(CommandFunction command, int argc, char** argv) {
#if defined(_WIN32)
    (void)argc;
    (void)argv;
    const std::vector<std::string> arguments = commandLineArguments();
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    return command(static_cast<int>(pointers.size()), pointers.data(), std::cout, std::cerr);
#else
    return command(argc, argv, std::cout, std::cerr);
#endif
}

}  // namespace vorskal
