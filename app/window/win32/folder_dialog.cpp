// The system's folder dialog (the common item dialog, picking folders).
#include <windows.h>
// After windows.h, which it needs:
#include <shobjidl.h>

#include "app/window/win32/tally_window.h"
#include "base/windows_text.h"

namespace vorskal::window {

namespace {

// Releases a COM object when it goes.
template <typename T>
struct Held {
    T* object = nullptr;
    ~Held() {
        if (object != nullptr) {
            object->Release();
        }
    }
};

std::string askForFolder() {
    Held<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog.object)))) {
        return "";
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.object->GetOptions(&options);
    dialog.object->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog.object->SetTitle(widen(kFolderDialogTitle).c_str());
    if (dialog.object->Show(nullptr) != S_OK) {
        return "";  // cancelled
    }
    Held<IShellItem> item;
    PWSTR path = nullptr;
    if (FAILED(dialog.object->GetResult(&item.object)) ||
        FAILED(item.object->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return "";
    }
    const std::string folder = narrow(path);
    CoTaskMemFree(path);
    return folder;
}

}  // namespace

FolderDialog systemFolderDialog() {
    return {askForFolder, [](const std::string& message) {
                MessageBoxW(nullptr, widen(message).c_str(), widen(kMessageTitle).c_str(),
                            MB_OK | MB_ICONWARNING);
            }};
}

}  // namespace vorskal::window
