// The VORSKAL window on Linux: `vorskal [DIR]` opens it on the game in DIR;
// "Tally Score" tallies the game there and ends the program.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <iostream>

#include "app/window/command_line.h"
#include "app/window/form_layout.h"
#include "app/window/game_folder.h"
#include "app/window/qt/tally_window.h"

namespace window = vorskal::window;

namespace {

std::string local(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// The system's folder dialog, asked again for a folder without the first log.
const window::FolderDialog kFolderDialog = {
    [] {
        return local(QDir::toNativeSeparators(QFileDialog::getExistingDirectory(
            nullptr, window::kFolderDialogTitle, QDir::homePath())));
    },
    [](const std::string& message) {
        QMessageBox::warning(nullptr, window::kMessageTitle, QString::fromLocal8Bit(message));
    },
};

}  // namespace

int main(int argc, char* argv[]) {
    // Before QApplication, which needs a display: --help and --version work
    // in a terminal without one.
    const window::WindowCommand command = window::readWindowCommand(argc, argv);
    if (command.action != window::WindowCommand::Action::Open) {
        (command.action == window::WindowCommand::Action::BadUsage ? std::cerr : std::cout)
            << command.text;
        return command.status;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("VORSKAL");
    QApplication::setDesktopFileName("vorskal");
    const std::string given =
        command.folder.empty()
            ? std::string()
            : local(QDir::cleanPath(QDir(QString::fromLocal8Bit(command.folder)).absolutePath()));
    const auto folder = window::chooseGameFolder(given, local(QDir::currentPath()), kFolderDialog);
    if (!folder) {
        return 0;  // the user cancelled the folder dialog
    }
    window::TallyWindow form(QString::fromLocal8Bit(*folder));
    QObject::connect(&form, &window::TallyWindow::finished, &app, &QApplication::exit);
    form.show();
    return QApplication::exec();
}
