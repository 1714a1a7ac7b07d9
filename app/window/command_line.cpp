#include "app/window/command_line.h"

#include "app/start/command_start.h"
#include "app/window/game_folder.h"

namespace vorskal::window {

WindowCommand readWindowCommand(int argc, const char* const* argv) {
    CommandStart start(
        "vorskal",
        "Opens the VORSKAL window on the game in DIR (default: the current directory; when\n"
        "it holds no ux7server0.log, the window first asks for the game's folder).\n"
        "\"Tally Score\" tallies the game there once and ends the program.");
    WindowCommand command;
    start.app()
        .add_option("DIR", command.folder, "The game's directory")
        ->type_name("DIR")
        ->check(CLI::Validator(
            [](const std::string& folder) {
                return isFolder(folder) ? std::string() : "Directory does not exist: " + folder;
            },
            "DIR"));
    using Asked = CommandStart::Asked;
    using Action = WindowCommand::Action;
    const Asked asked = start.read(argc, argv);
    if (asked == Asked::Run) {
        return command;
    }
    const Action action = asked == Asked::Help      ? Action::Help
                          : asked == Asked::Version ? Action::Version
                                                    : Action::BadUsage;
    return {action, {}, start.text(), exitStatus(asked)};
}

}  // namespace vorskal::window
