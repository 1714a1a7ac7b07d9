#include "app/window/form_layout.h"

#include "base/version.h"

namespace vorskal::window {

std::string windowTitle(const std::string& folder) {
    std::string title = "VORSKAL Ver. " + std::string(kVersion);
    if (!folder.empty()) {
        title += " - " + folder;
    }
    return title;
}

}  // namespace vorskal::window
