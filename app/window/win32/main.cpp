// The VORSKAL window on Windows: `vorskal [DIR]` opens it on the game in
// DIR; "Tally Score" tallies the game there and ends the program.
#include <windows.h>
// After windows.h, which they need:
#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "app/window/command_line.h"
#include "app/window/game_folder.h"
#include "app/window/win32/tally_window.h"
#include "base/windows_text.h"

namespace window = vorskal::window;

namespace {

// Text for --help, --version or bad usage: to the standard handle the
// program was given (a pipe or a file), else to the console it was started
// from, else in a message box.
void say(const std::string& text, DWORD handleName) {
    HANDLE handle = GetStdHandle(handleName);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        if (AttachConsole(ATTACH_PARENT_PROCESS)) {
            const std::wstring wide = vorskal::widen(text);
            DWORD written = 0;
            WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), wide.c_str(),
                          static_cast<DWORD>(wide.size()), &written, nullptr);
        } else {
            MessageBoxW(nullptr, vorskal::widen(text).c_str(),
                        vorskal::widen(window::kMessageTitle).c_str(), MB_OK);
        }
        return;
    }
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string fullPath(const std::string& path) {
    const std::wstring wide = vorskal::widen(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            full.resize(length);
            return vorskal::narrow(full);
        }
        full.resize(length);
    }
}

}  // namespace

int main() {
    const std::vector<std::string> arguments = vorskal::commandLineArguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    const window::WindowCommand command =
        window::readWindowCommand(static_cast<int>(argv.size()), argv.data());
    if (command.action != window::WindowCommand::Action::Open) {
        say(command.text, command.action == window::WindowCommand::Action::BadUsage
                              ? STD_ERROR_HANDLE
                              : STD_OUTPUT_HANDLE);
        return command.status;
    }

    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    const auto folder =
        window::chooseGameFolder(command.folder.empty() ? std::string() : fullPath(command.folder),
                                 fullPath("."), window::systemFolderDialog());
    if (!folder) {
        CoUninitialize();
        return 0;  // the user cancelled the folder dialog
    }
    int status = 0;
    {
        window::WindowSession session(*folder);
        window::TallyWindow form(GetModuleHandleW(nullptr), session);
        status = form.run();
    }
    CoUninitialize();
    return status;
}
