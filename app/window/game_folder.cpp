#include "app/window/game_folder.h"

#include <filesystem>
#include <system_error>

#include "base/system_files.h"
#include "base/utf8_path.h"
#include "logs/merge.h"

namespace vorskal::window {

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(utf8Path(path), error);
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
