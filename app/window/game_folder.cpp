#include "app/window/game_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vorskal {

namespace {
QString absolute(const QString& folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}
}  // namespace

std::optional<QString> chooseGameFolder(const QString& given, const std::function<QString()>& ask) {
    if (!given.isEmpty()) {
        return absolute(given);
    }
    if (QFileInfo::exists("ux7server0.log")) {
        return QDir::currentPath();
    }
    const QString chosen = ask();
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return absolute(chosen);
}

QString askForGameFolder() {
    return QFileDialog::getExistingDirectory(
        nullptr, "VORSKAL: choose the game's folder (where ux7server0.log is)", QDir::homePath());
}

}  // namespace vorskal
