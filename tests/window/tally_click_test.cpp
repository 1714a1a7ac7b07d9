// A click on "Tally Score" in a game's directory: the tally runs there off
// the window's thread, its message comes up in a box over the window, and
// the program ends.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>

#include "app/window/command_line.h"
#include "app/window/form1.h"
#include "app/window/game_folder.h"

using vorskal::Form1;

namespace {

QByteArray crlf(const QList<QByteArray>& lines) {
    QByteArray text;
    for (const QByteArray& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

const QByteArray kServerLog = crlf({
    "12/06/26 20:15:03 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          "
    "SOPWITH_CAMEL",
});

QByteArray pointFile(const QByteArray& killLine) {
    return crlf({"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", "", killLine, "Death=-5",
                 "Bridge=15", "Depot=10", "Factory=20", "Hangar=5", "Tank=5", "Truck=2",
                 "Train=8"});
}

// A fresh game directory that is the current directory while it lives.
class GameFolder {
  public:
    GameFolder() : previous_(QDir::currentPath()) {
        if (!folder_.isValid() || !QDir::setCurrent(folder_.path())) {
            qFatal("cannot enter a temporary directory");
        }
    }
    ~GameFolder() { QDir::setCurrent(previous_); }

    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(folder_.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(name));
        }
    }
    QByteArray read(const QString& name) const {
        QFile file(folder_.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool exists(const QString& name) const { return QFile::exists(folder_.filePath(name)); }

  private:
    QTemporaryDir folder_;
    QString previous_;
};

// What a message box showed.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    qsizetype buttonCount = 0;
    bool modal = false;
    QString detail;  // the informative text under the message
};

// Watches for the modal message box while it lives; notes what each box
// shows and presses its OK button, as the user would.
class BoxCloser : public QObject {
  public:
    BoxCloser() {
        connect(&timer_, &QTimer::timeout, this, &BoxCloser::poll);
        timer_.start(10);
    }
    QList<SeenBox> seen;

  private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        seen.append({box->windowTitle(), box->text(), box->standardButtons(), box->buttons().size(),
                     box->isModal(), box->informativeText()});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->done(0);
        }
    }
    QTimer timer_;
};

QList<QByteArray> reportLines(const QByteArray& report) {
    QList<QByteArray> lines = report.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    return lines;
}

const QByteArray kReportStart = "\r\n\r\nUX7SERVER Log Tally (VORSKAL.LOG)\r\n";
const QByteArray kReportEnd = "Map used was Verdun\r\n \r\n";

}  // namespace

class TallyClickTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void completeRunWritesTheReportAndEndsWithStatusZero();
    void warningsOfTheChecksGoUnderTallyComplete();
    void missingFirstLogShowsItsMessageAndWritesNothing();
    void failureShowsTheReportsErrorAndEndsNonZero_data();
    void failureShowsTheReportsErrorAndEndsNonZero();
    void optionsOfTheBoxesReachTheRun_data();
    void optionsOfTheBoxesReachTheRun();
    void oneStartRunsOneTally();
    void windowStaysAliveWhileTheTallyRuns();
    void tallyRunsInTheFolderGiven();

  private:
    // Clicks "Tally Score" and waits until its message box has been closed.
    QList<SeenBox> clickTallyScore();
    QPushButton* tallyScore() const { return form_->findChild<QPushButton*>("Command1"); }

    std::unique_ptr<GameFolder> game_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<QSignalSpy> finished_;
};

void TallyClickTest::init() {
    game_ = std::make_unique<GameFolder>();
    form_ = std::make_unique<Form1>();
    finished_ = std::make_unique<QSignalSpy>(form_.get(), &Form1::finished);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TallyClickTest::cleanup() {
    finished_.reset();
    form_.reset();
    game_.reset();
}

QList<SeenBox> TallyClickTest::clickTallyScore() {
    BoxCloser closer;
    const bool first = form_->exitCode() == -1;
    QTest::mouseClick(tallyScore(), Qt::LeftButton);
    if (first) {
        finished_->wait(20000);  // the run is over and its box dismissed
    }
    QTest::qWait(30);  // a second box, if any, would come up now
    return closer.seen;
}

void TallyClickTest::completeRunWritesTheReportAndEndsWithStatusZero() {
    game_->write("ux7server0.log", kServerLog);
    game_->write("vorskal.ini", pointFile("Kill=10"));

    const QList<SeenBox> seen = clickTallyScore();

    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("VORSKAL"));
    QCOMPARE(seen[0].text, QString("Tally Complete"));
    QCOMPARE(seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen[0].buttonCount, 1);
    QVERIFY(seen[0].modal);
    QCOMPARE(seen[0].detail, QString());

    const QByteArray report = game_->read("vorskal.log");
    QVERIFY2(report.startsWith(kReportStart), report.left(80).constData());
    QVERIFY2(report.endsWith(kReportEnd), report.right(80).constData());
    QCOMPARE(game_->read("ux7server.log"), kServerLog);

    QCOMPARE(finished_->size(), 1);
    QCOMPARE(finished_->at(0).at(0).toInt(), 0);
    QCOMPARE(form_->exitCode(), 0);
}

void TallyClickTest::warningsOfTheChecksGoUnderTallyComplete() {
    game_->write("ux7server0.log", kServerLog);
    game_->write("vorskal.ini", pointFile("no kill line"));  // every kill worth 0

    const QList<SeenBox> seen = clickTallyScore();

    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].text, QString("Tally Complete"));
    QVERIFY2(seen[0].detail.startsWith("1 warning "), qPrintable(seen[0].detail));
    QVERIFY2(seen[0].detail.contains("vorskal.ini: warning: there is no \"Kill=\" line"),
             qPrintable(seen[0].detail));
}

void TallyClickTest::missingFirstLogShowsItsMessageAndWritesNothing() {
    game_->write("vorskal.ini", pointFile("Kill=10"));
    game_->write("ux7server1.log", kServerLog);

    const QList<SeenBox> seen = clickTallyScore();

    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("VORSKAL"));
    QCOMPARE(seen[0].text, QString("Could not find ux7server0.log"));
    QCOMPARE(seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(seen[0].modal);
    QVERIFY(!game_->exists("vorskal.log"));
    QVERIFY(!game_->exists("ux7server.log"));

    QCOMPARE(finished_->size(), 1);
    QCOMPARE(finished_->at(0).at(0).toInt(), 0);
    QCOMPARE(form_->exitCode(), 0);
}

void TallyClickTest::failureShowsTheReportsErrorAndEndsNonZero_data() {
    QTest::addColumn<QByteArray>("pointFile");
    QTest::addColumn<QString>("messageStart");
    QTest::addColumn<QString>("offendingText");

    QTest::newRow("no vorskal.ini") << QByteArray() << ""
                                    << "vorskal.ini";
    QTest::newRow("kill points not a number") << pointFile("Kill=ten") << "vorskal.ini line 6: "
                                              << "ten";
}

void TallyClickTest::failureShowsTheReportsErrorAndEndsNonZero() {
    QFETCH(QByteArray, pointFile);
    QFETCH(QString, messageStart);
    QFETCH(QString, offendingText);

    game_->write("ux7server0.log", kServerLog);
    if (!pointFile.isEmpty()) {
        game_->write("vorskal.ini", pointFile);
    }

    const QList<SeenBox> seen = clickTallyScore();

    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].title, QString("VORSKAL"));
    QCOMPARE(seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(seen[0].modal);
    const QString message = seen[0].text;
    QVERIFY2(message.startsWith(messageStart), qPrintable(message));
    QVERIFY2(message.contains(offendingText), qPrintable(message));

    // The box shows the message that ends the report's error line.
    const QByteArray report = game_->read("vorskal.log");
    QVERIFY(report.startsWith(kReportStart));
    QCOMPARE(reportLines(report).last(), "ERROR -- " + message.toLocal8Bit());

    QCOMPARE(finished_->size(), 1);
    QVERIFY(finished_->at(0).at(0).toInt() != 0);
    QVERIFY(form_->exitCode() != 0);
}

void TallyClickTest::optionsOfTheBoxesReachTheRun_data() {
    QTest::addColumn<QStringList>("unchecked");
    QTest::addColumn<QStringList>("grayed");
    QTest::addColumn<QList<QByteArray>>("corrections");
    QTest::addColumn<QByteArray>("targetsNotice");

    const QByteArray overMax = "NOTICE -- Over Max Pilot penalty enabled ";
    const QByteArray multiDeath = "NOTICE -- Multiple Death bug correction enabled ";
    const QByteArray fighter = "NOTICE -- Fighter Destroyed Target correction enabled ";
    const QByteArray redOnly = "NOTICE -- Only red boxed targets have been tallied ";
    const QByteArray allTargets = "NOTICE -- Non-red boxed targets have been tallied ";

    QTest::newRow("all on") << QStringList() << QStringList()
                            << QList<QByteArray>{overMax, multiDeath, fighter} << redOnly;
    QTest::newRow("Check1 off") << QStringList{"Check1"} << QStringList()
                                << QList<QByteArray>{overMax, fighter} << redOnly;
    QTest::newRow("Check2 off") << QStringList{"Check2"} << QStringList()
                                << QList<QByteArray>{overMax, multiDeath} << redOnly;
    QTest::newRow("Check3 off") << QStringList{"Check3"} << QStringList()
                                << QList<QByteArray>{multiDeath, fighter} << redOnly;
    QTest::newRow("Check4 off") << QStringList{"Check4"} << QStringList()
                                << QList<QByteArray>{overMax, multiDeath, fighter} << allTargets;
    QTest::newRow("all off") << QStringList{"Check1", "Check2", "Check3", "Check4"} << QStringList()
                             << QList<QByteArray>{} << allTargets;
    QTest::newRow("grayed after on") << QStringList() << QStringList{"Check1", "Check4"}
                                     << QList<QByteArray>{overMax, multiDeath, fighter} << redOnly;
    QTest::newRow("grayed after off")
        << QStringList{"Check2", "Check4"} << QStringList{"Check2", "Check4"}
        << QList<QByteArray>{overMax, multiDeath} << allTargets;
}

void TallyClickTest::optionsOfTheBoxesReachTheRun() {
    QFETCH(QStringList, unchecked);
    QFETCH(QStringList, grayed);
    QFETCH(QList<QByteArray>, corrections);
    QFETCH(QByteArray, targetsNotice);

    game_->write("ux7server0.log", kServerLog);
    game_->write("vorskal.ini", pointFile("Kill=10"));
    for (const QString& name : unchecked) {
        QTest::mouseClick(form_->findChild<QCheckBox*>(name), Qt::LeftButton);
    }
    for (const QString& name : grayed) {
        form_->findChild<QCheckBox*>(name)->setCheckState(Qt::PartiallyChecked);
    }

    QCOMPARE(clickTallyScore().size(), 1);

    const QList<QByteArray> lines = reportLines(game_->read("vorskal.log"));
    const qsizetype section4 = lines.indexOf("4. Report score corrections.");
    QVERIFY(section4 > 0);
    QCOMPARE(lines.mid(section4 + 1, 2), (QList<QByteArray>{QByteArray(28, '-'), " "}));
    QCOMPARE(lines.mid(section4 + 3, corrections.size()), corrections);
    QCOMPARE(lines.mid(section4 + 3 + corrections.size(), 3),
             (QList<QByteArray>{" ", " ", "5. Report non-red boxed targets destroyed."}));
    const qsizetype section5 = section4 + 3 + corrections.size() + 2;
    QCOMPARE(lines.mid(section5 + 1, 4),
             (QList<QByteArray>{QByteArray(42, '-'), " ", targetsNotice, " "}));
}

void TallyClickTest::oneStartRunsOneTally() {
    game_->write("ux7server0.log", kServerLog);
    game_->write("vorskal.ini", pointFile("Kill=10"));
    QCOMPARE(clickTallyScore().size(), 1);
    const QByteArray report = game_->read("vorskal.log");

    QVERIFY(!tallyScore()->isEnabled());
    QCOMPARE(clickTallyScore().size(), 0);
    BoxCloser closer;
    form_->Command1_Click();
    QTest::qWait(50);
    QCOMPARE(closer.seen.size(), 0);

    QCOMPARE(game_->read("vorskal.log"), report);
    QCOMPARE(finished_->size(), 1);
}

void TallyClickTest::windowStaysAliveWhileTheTallyRuns() {
    // A run held back until the test lets it go, in the folder that the
    // window was given.
    std::atomic<bool> release = false;
    std::atomic<bool> running = false;
    QString folderSeen;
    Form1 form(QDir::currentPath(), [&](vorskal::TallyState& state, const QString& folder) {
        running = true;
        folderSeen = folder;
        while (!release) {
            QThread::msleep(5);
        }
        return vorskal::runTallyInFolder(state, folder);
    });
    QSignalSpy finished(&form, &Form1::finished);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    game_->write("ux7server0.log", kServerLog);
    game_->write("vorskal.ini", pointFile("Kill=10"));

    BoxCloser closer;
    QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    // Greyed at once, with the four boxes: the options stay as they were.
    QVERIFY(!form.findChild<QPushButton*>("Command1")->isEnabled());
    for (const char* name : {"Check1", "Check2", "Check3", "Check4"}) {
        QVERIFY(!form.findChild<QCheckBox*>(name)->isEnabled());
    }
    QTRY_VERIFY(running);
    // The window's thread is free: timers fire and the window paints.
    bool ticked = false;
    QTimer::singleShot(10, [&] { ticked = true; });
    QTRY_VERIFY(ticked);
    QVERIFY(!form.grab().isNull());
    form.close();
    QVERIFY(form.isVisible());  // not while the run goes on
    QCOMPARE(closer.seen.size(), 0);
    QCOMPARE(finished.size(), 0);

    release = true;
    QVERIFY(finished.wait(20000));
    QCOMPARE(folderSeen, QDir::currentPath());
    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, QString("Tally Complete"));
    QCOMPARE(finished.at(0).at(0).toInt(), 0);
    QVERIFY(game_->read("vorskal.log").endsWith(kReportEnd));
}

void TallyClickTest::tallyRunsInTheFolderGiven() {
    // `vorskal DIR`, started elsewhere, as the program starts it.
    game_->write("ux7server0.log", kServerLog);
    game_->write("vorskal.ini", pointFile("Kill=10"));
    const QString folder = QDir::currentPath();
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(elsewhere.path()));  // cleanup() restores the first one
    const QByteArray dir = folder.toLocal8Bit();
    const char* argv[] = {"vorskal", dir.constData()};
    const vorskal::WindowCommand command = vorskal::readWindowCommand(2, argv);
    const auto chosen = vorskal::chooseGameFolder(QString::fromLocal8Bit(command.folder),
                                                  [] { return QString("never asked"); });
    QCOMPARE(chosen.value_or(""), folder);

    Form1 form(*chosen);
    QCOMPARE(form.windowTitle(), "VORSKAL Ver. 3.40 - " + QDir::toNativeSeparators(folder));
    QSignalSpy finished(&form, &Form1::finished);
    form.show();
    BoxCloser closer;
    QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QVERIFY(finished.wait(20000));

    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, QString("Tally Complete"));
    QCOMPARE(game_->read("ux7server.log"), kServerLog);
    QVERIFY(game_->read("vorskal.log").endsWith(kReportEnd));
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

QTEST_MAIN(TallyClickTest)
#include "tally_click_test.moc"
