#include "app/cli/runner.h"
#include "base/command_line.h"

int main(int argc, char** argv) {
    return vorskal::runCommandLine(vorskal::runTallyCommand, argc, argv);
}
