// How the window starts: its command line and the game folder it works in.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/window/command_line.h"
#include "app/window/game_folder.h"

using vorskal::WindowCommand;

namespace {

using Action = WindowCommand::Action;

WindowCommand read(const QStringList& words) {
    std::vector<std::string> text{"vorskal"};
    for (const QString& word : words) {
        text.push_back(word.toStdString());
    }
    std::vector<const char*> argv;
    for (const std::string& word : text) {
        argv.push_back(word.c_str());
    }
    return vorskal::readWindowCommand(static_cast<int>(argv.size()), argv.data());
}

// The current directory for as long as it lives.
class InFolder {
  public:
    explicit InFolder(const QString& path) : previous_(QDir::currentPath()) {
        QDir::setCurrent(path);
    }
    ~InFolder() { QDir::setCurrent(previous_); }

  private:
    QString previous_;
};

}  // namespace

class WindowStartTest : public QObject {
    Q_OBJECT

  private slots:
    void commandLine_data();
    void commandLine();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();
    void gameFolder_data();
    void gameFolder();
};

void WindowStartTest::commandLine_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("folder");

    const QString here = QDir::tempPath();
    QTest::newRow("nothing") << QStringList() << int(Action::Open) << "";
    QTest::newRow("a folder") << QStringList{here} << int(Action::Open) << here;
    QTest::newRow("-h") << QStringList{"-h"} << int(Action::Help) << "";
    QTest::newRow("a missing folder") << QStringList{here + "/none"} << int(Action::BadUsage) << "";
    QTest::newRow("two folders") << QStringList{here, here} << int(Action::BadUsage) << "";
}

void WindowStartTest::commandLine() {
    QFETCH(QStringList, words);
    QFETCH(int, action);
    QFETCH(QString, folder);

    const WindowCommand command = read(words);
    QCOMPARE(int(command.action), action);
    QCOMPARE(QString::fromStdString(command.folder), folder);
}

void WindowStartTest::helpAndVersionNeedNoDisplay_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::newRow("--help") << "--help" << 0 << "Usage: vorskal [OPTIONS] [DIR]";
    QTest::newRow("--version") << "--version" << 0 << "vorskal 3.40\n";
    QTest::newRow("bad usage") << "--frobnicate" << 64 << "";
}

void WindowStartTest::helpAndVersionNeedNoDisplay() {
    QFETCH(QString, option);
    QFETCH(int, status);
    QFETCH(QString, output);

    // Without any display, the program would fail if it made a window.
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    program.setProcessEnvironment(environment);
    program.start(VORSKAL_WINDOW_PROGRAM, {option});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    QVERIFY(QString(program.readAllStandardOutput()).contains(output));
    if (status != 0) {
        QVERIFY(QString(program.readAllStandardError()).contains("--frobnicate"));
    }
}

void WindowStartTest::gameFolder_data() {
    QTest::addColumn<bool>("given");
    QTest::addColumn<bool>("logHere");
    QTest::addColumn<QString>("answer");  // what the dialog returns; "-": it must not be asked
    QTest::addColumn<QString>("folder");  // "game", "here", "picked" or "" for none

    QTest::newRow("given") << true << true << "-"
                           << "game";
    QTest::newRow("a log here") << false << true << "-"
                                << "here";
    QTest::newRow("no log: asked") << false << false << "picked"
                                   << "picked";
    QTest::newRow("no log: cancelled") << false << false << ""
                                       << "";
}

void WindowStartTest::gameFolder() {
    QFETCH(bool, given);
    QFETCH(bool, logHere);
    QFETCH(QString, answer);
    QFETCH(QString, folder);

    QTemporaryDir root;
    QDir(root.path()).mkpath("here");
    QDir(root.path()).mkpath("game");
    QDir(root.path()).mkpath("picked");
    if (logHere) {
        QFile(root.filePath("here/ux7server0.log")).open(QIODevice::WriteOnly);
    }
    InFolder inHere(root.filePath("here"));
    bool asked = false;
    const auto ask = [&] {
        asked = true;
        return answer == "" ? QString() : root.filePath(answer);
    };

    // A folder given relative to the current directory becomes absolute.
    const auto chosen = vorskal::chooseGameFolder(given ? "../game" : "", ask);
    QCOMPARE(asked, answer != "-");
    if (folder.isEmpty()) {
        QVERIFY(!chosen);
    } else {
        QVERIFY(chosen);
        QCOMPARE(*chosen, QDir(root.filePath(folder)).canonicalPath());
    }
}

QTEST_MAIN(WindowStartTest)
#include "window_start_test.moc"
