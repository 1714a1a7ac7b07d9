#include "app/window/command_line.h"

#include <CLI/CLI.hpp>

#include "app/window/game_folder.h"
#include "base/version.h"

namespace vorskal::window {

WindowCommand readWindowCommand(int argc, const char* const* argv) {
    CLI::App app{
        "Opens the VORSKAL window on the game in DIR (default: the current directory; when\n"
        "it holds no ux7server0.log, the window first asks for the game's folder).\n"
        "\"Tally Score\" tallies the game there once and ends the program.",
        "vorskal"};
    // Options are spelt the same on every system: on Windows too, an
    // argument that starts with "/" is a path, not an option.
    app.allow_windows_style_options(false);
    WindowCommand command;
    app.add_option("DIR", command.folder, "The game's directory")
        ->type_name("DIR")
        ->check(CLI::Validator(
            [](const std::string& folder) {
                return isFolder(folder) ? std::string() : "Directory does not exist: " + folder;
            },
            "DIR"));
    const std::string version = "vorskal " + std::string(kVersion);
    app.set_version_flag("--version", version);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return {WindowCommand::Action::Help, {}, app.help()};
    } catch (const CLI::CallForVersion&) {
        return {WindowCommand::Action::Version, {}, version + "\n"};
    } catch (const CLI::ParseError& e) {
        return {WindowCommand::Action::BadUsage,
                {},
                std::string("vorskal: ") + e.what() + "\n" + app.help()};
    }
    return command;
}

}  // namespace vorskal::window
