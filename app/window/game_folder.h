#pragma once
// Which folder the window works in.
#include <QString>
#include <functional>
#include <optional>

namespace vorskal {

// The game folder, as an absolute path: `given` when the user named one;
// otherwise the current directory when it holds "ux7server0.log"; otherwise
// the folder that `ask` returns (the user's choice). An empty answer from
// `ask` means the user cancelled: no folder.
std::optional<QString> chooseGameFolder(const QString& given, const std::function<QString()>& ask);

// Asks for the game folder with the system's folder dialog; empty when the
// user cancels.
QString askForGameFolder();

}  // namespace vorskal
