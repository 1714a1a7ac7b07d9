#include "app/window/game_folder.h"

#include <filesystem>
#include <system_error>

#include "base/system_files.h"
#include "logs/merge.h"

namespace vorskal::window {

bool isFolder(const std::string& path) {
    std::error_code error;
#if defined(_WIN32)
    // Paths are UTF-8 here; a plain string would be read in the ANSI code page.
    return std::filesystem::is_directory(std::u8string(path.begin(), path.end()), error);
#else
    return std::filesystem::is_directory(path, error);
#endif
}

bool holdsFirstLog(const std::string& folder) {
    SystemFileService files(folder);
    return files.exists(numberedLogName(0));
}

std::string refusalMessage(const std::string& folder) {
    return folder + " holds no " + numberedLogName(0) +
           ".\n\nChoose the folder where the game server writes its logs.";
}

std::optional<std::string> chooseGameFolder(const std::string& given, const std::string& current,
                                            const FolderDialog& dialog) {
    if (!given.empty()) {
        return given;
    }
    if (holdsFirstLog(current)) {
        return current;
    }
    for (;;) {
        const std::string picked = dialog.ask();
        if (picked.empty()) {
            return std::nullopt;
        }
        if (holdsFirstLog(picked)) {
            return picked;
        }
        dialog.refuse(refusalMessage(picked));
    }
}

}  // namespace vorskal::window
