#include <iostream>

#include "app/cli/runner.h"

int main(int argc, char** argv) {
    return vorskal::runTallyCommand(argc, argv, std::cout, std::cerr);
}
