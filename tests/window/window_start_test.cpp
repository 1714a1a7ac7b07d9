// The window's program started from a terminal without any display:
// --help and --version print and exit before a window is needed.
#include <QProcess>
#include <QTest>

class WindowStartTest : public QObject {
    Q_OBJECT

  private slots:
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();
};

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

QTEST_MAIN(WindowStartTest)
#include "window_start_test.moc"
