// The VORSKAL window: `vorskal [DIR]` opens it on the game in DIR; "Tally
// Score" tallies the game there and ends the program.
#include <QApplication>
#include <QString>
#include <iostream>

#include "app/window/command_line.h"
#include "app/window/form1.h"
#include "app/window/game_folder.h"

int main(int argc, char* argv[]) {
    // Before QApplication, which needs a display: --help and --version work
    // in a terminal without one.
    const vorskal::WindowCommand command = vorskal::readWindowCommand(argc, argv);
    switch (command.action) {
        case vorskal::WindowCommand::Action::Help:
        case vorskal::WindowCommand::Action::Version:
            std::cout << command.text;
            return 0;
        case vorskal::WindowCommand::Action::BadUsage:
            std::cerr << command.text;
            return vorskal::kWindowExitUsage;
        case vorskal::WindowCommand::Action::Open:
            break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("VORSKAL");
    QApplication::setDesktopFileName("vorskal");
    const auto folder = vorskal::chooseGameFolder(QString::fromLocal8Bit(command.folder),
                                                  vorskal::askForGameFolder);
    if (!folder) {
        return 0;  // the user cancelled the folder dialog
    }
    vorskal::Form1 form(*folder);
    QObject::connect(&form, &vorskal::Form1::finished, &app, &QApplication::exit);
    form.show();
    return QApplication::exec();
}
