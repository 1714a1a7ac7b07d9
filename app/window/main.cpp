// The VORSKAL window. Start it in the game's directory; "Tally Score" tallies
// the game there and ends the program.
#include <QApplication>

#include "app/window/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("VORSKAL");
    QApplication::setDesktopFileName("vorskal");
    vorskal::Form1 form;
    QObject::connect(&form, &vorskal::Form1::finished, &app, &QApplication::exit);
    form.show();
    return QApplication::exec();
}
