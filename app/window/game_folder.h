#pragma once
// Which folder the window works in: the one named on the command line; else
// the current directory when it holds "ux7server0.log"; else the one the
// user picks in the system's folder dialog, which is asked again until the
// folder picked holds "ux7server0.log" or the user cancels.
#include <functional>
#include <optional>
#include <string>

namespace vorskal::window {

struct FolderDialog {
    // Shows the system's folder dialog; the folder picked, "" when cancelled.
    std::function<std::string()> ask;
    // Tells the user why the folder picked was not taken (a message box).
    std::function<void(const std::string& message)> refuse;
};

// Whether `path` names a folder.
bool isFolder(const std::string& path);

// Whether `folder` holds "ux7server0.log" (as a file).
bool holdsFirstLog(const std::string& folder);

// What the user is told of a picked folder without "ux7server0.log".
std::string refusalMessage(const std::string& folder);

// `given` when not empty; else `current` when it holds "ux7server0.log";
// else the dialog's answer. No folder when the user cancels. Folders are
// paths as the system's file service takes them.
std::optional<std::string> chooseGameFolder(const std::string& given, const std::string& current,
                                            const FolderDialog& dialog);

// The dialog's own title.
inline constexpr const char* kFolderDialogTitle =
    "VORSKAL: choose the game's folder (where ux7server0.log is)";

}  // namespace vorskal::window
