#include "app/start/command_start.h"

#include "base/version.h"

namespace vorskal {

CommandStart::CommandStart(const std::string& program, const std::string& description)
    : program_(program), app_(description, program) {
    app_.allow_windows_style_options(false);
}

CommandStart::Asked CommandStart::read(int argc, const char* const* argv) {
    // Last among the options, where the help lists it.
    const std::string version = program_ + " " + std::string(kVersion);
    app_.set_version_flag("--version", version);
    try {
        app_.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        text_ = app_.help();
        return Asked::Help;
    } catch (const CLI::CallForVersion&) {
        text_ = version + "\n";
        return Asked::Version;
    } catch (const CLI::ParseError& e) {
        text_ = program_ + ": " + e.what() + "\n" + app_.help();
        return Asked::BadUsage;
    }
    return Asked::Run;
}

std::optional<int> CommandStart::start(int argc, const char* const* argv, std::ostream& out,
                                       std::ostream& err) {
    const Asked asked = read(argc, argv);
    if (asked == Asked::Run) {
        return std::nullopt;
    }
    (asked == Asked::BadUsage ? err : out) << text_;
    return exitStatus(asked);
}

int exitStatus(CommandStart::Asked asked) {
    return asked == CommandStart::Asked::BadUsage ? kExitUsage : kExitOk;
}

CLI::Option* addDateOrder(CLI::App& app, std::optional<DateOrder>& order, const std::string& help) {
    return app
        .add_option_function<std::string>(
            "--date-order", [&order](const std::string& name) { order = dateOrderNamed(name); },
            help)
        ->check(CLI::IsMember({"mdy", "dmy", "ymd"}))
        ->type_name("mdy|dmy|ymd");
}

}  // namespace vorskal
