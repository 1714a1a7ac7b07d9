// The Qt window as the user meets it: the boxes set the options, the
// keyboard goes through the controls in order, "Tally Score" runs the tally
// off the window's thread and its closing message comes up in a box over
// the window; then the program ends. What the message says and which
// options reach the run are the shared part's, tested without a window.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

#include "app/window/qt/tally_window.h"

using vorskal::TallyOptions;
using vorskal::window::RunEnd;
using vorskal::window::TallyWindow;

namespace {

QByteArray crlf(const QList<QByteArray>& lines) {
    QByteArray text;
    for (const QByteArray& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// The Allied Snoopy (SOPWITH) shoots down the Hun Baron_Red (FOKKER): with
// Kill=10 and Death=-5 the final totals are Allied 10, Hun -5.
const QByteArray kServerLog = crlf({
    "12/06/26 20:15:03 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          "
    "SOPWITH_CAMEL",
});

QByteArray pointFile(const QByteArray& killLine) {
    return crlf({"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", "", killLine, "Death=-5",
                 "Bridge=15", "Depot=10", "Factory=20", "Hangar=5", "Tank=5", "Truck=2",
                 "Train=8"});
}

// A fresh game folder.
class GameFolder {
  public:
    QString path() const { return folder_.path(); }
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

  private:
    QTemporaryDir folder_;
};

// What a message box showed.
struct SeenBox {
    QString title;
    QString text;
    QString detail;  // the informative text under the message
    QMessageBox::Icon icon;
    qsizetype buttons;
    bool modal;
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
        seen.append({box->windowTitle(), box->text(), box->informativeText(), box->icon(),
                     box->buttons().size(), box->isModal()});
        box->button(QMessageBox::Ok)->click();
    }
    QTimer timer_;
};

// Where the caption of a check box starts: right of its indicator.
int captionLeft(const QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    return box.style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, &box) +
           box.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, &box);
}

}  // namespace

class TallyWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void boxesSetTheirOwnOption_data();
    void boxesSetTheirOwnOption();
    void tabGoesFromTheButtonThroughTheBoxes();
    void captionsAreReadableWhole();
    void runEndsInItsMessageBoxAndStatus_data();
    void runEndsInItsMessageBoxAndStatus();
    void windowStaysAliveWhileTheTallyRunsAndRunsOnce();
};

void TallyWindowTest::boxesSetTheirOwnOption_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("option");  // which member of TallyOptions, in declaration order
    QTest::addColumn<bool>("onCaption");
    const char* boxes[] = {"overMaxBox", "multiDeathBox", "fighterTargetBox", "redBoxedOnlyBox"};
    for (int option = 0; option < 4; ++option) {
        for (bool onCaption : {false, true}) {
            QTest::newRow(qPrintable(QString(boxes[option]) + (onCaption ? " caption" : "")))
                << boxes[option] << option << onCaption;
        }
    }
}

void TallyWindowTest::boxesSetTheirOwnOption() {
    QFETCH(QString, box);
    QFETCH(int, option);
    QFETCH(bool, onCaption);

    TallyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto flags = [&] {
        const TallyOptions& o = window.session().options();
        return QList<bool>{o.overMaxPilotCorrection, o.multiDeathCorrection,
                           o.fighterTargetCorrection, o.redBoxedOnly};
    };
    QList<bool> expected{true, true, true, true};
    QCOMPARE(flags(), expected);

    auto* check = window.findChild<QCheckBox*>(box);
    QVERIFY(check != nullptr);
    QCOMPARE(check->checkState(), Qt::Checked);
    // The indicator sits at the left, vertically centred; the caption follows it.
    const QPoint where(onCaption ? captionLeft(*check) + 10 : 6, check->height() / 2);
    QTest::mouseClick(check, Qt::LeftButton, {}, where);
    expected[option] = false;
    QCOMPARE(flags(), expected);
    // Grayed (only the program grays a box) keeps the last value.
    check->setCheckState(Qt::PartiallyChecked);
    QCOMPARE(flags(), expected);
    QTest::mouseClick(check, Qt::LeftButton, {}, where);
    QCOMPARE(check->checkState(), Qt::Checked);
    expected[option] = true;
    QCOMPARE(flags(), expected);
}

void TallyWindowTest::tabGoesFromTheButtonThroughTheBoxes() {
    TallyWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("tallyButton"));
    for (const char* next :
         {"multiDeathBox", "fighterTargetBox", "overMaxBox", "redBoxedOnlyBox", "tallyButton"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString(next));
    }
}

void TallyWindowTest::captionsAreReadableWhole() {
    TallyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int captions = 0;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QFontMetrics metrics = widget->fontMetrics();
        QVERIFY2(metrics.height() >= 9, "the caption font is too small to read");
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            // On as many lines as the box is high.
            const QRect area(captionLeft(*box), 0, box->width() - captionLeft(*box), box->height());
            QVERIFY2(area.contains(metrics.boundingRect(
                         area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, box->text())),
                     qPrintable(box->text()));
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QVERIFY(metrics.horizontalAdvance(button->text()) <= button->width());
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
            QVERIFY(metrics.horizontalAdvance(label->text()) <= label->width());
        } else {
            continue;
        }
        ++captions;
    }
    QCOMPARE(captions, 7);  // two labels, the button, four boxes
}

void TallyWindowTest::runEndsInItsMessageBoxAndStatus_data() {
    QTest::addColumn<QByteArray>("firstLog");
    QTest::addColumn<QByteArray>("points");
    QTest::addColumn<QString>("text");  // "ERROR": the report's error message
    QTest::addColumn<QString>("detail");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("status");

    QTest::newRow("complete") << QByteArray("ux7server0.log") << pointFile("Kill=10")
                              << "Tally Complete"
                              << "Final totals: Allied 10, Hun -5" << int(QMessageBox::NoIcon) << 0;
    QTest::newRow("missing first log")
        << QByteArray("ux7server1.log") << pointFile("Kill=10") << "Could not find ux7server0.log"
        << "" << int(QMessageBox::NoIcon) << 0;
    QTest::newRow("failure") << QByteArray("ux7server0.log") << pointFile("Kill=ten") << "ERROR"
                             << "" << int(QMessageBox::Critical) << 2;
}

void TallyWindowTest::runEndsInItsMessageBoxAndStatus() {
    QFETCH(QByteArray, firstLog);
    QFETCH(QByteArray, points);
    QFETCH(QString, text);
    QFETCH(QString, detail);
    QFETCH(int, icon);
    QFETCH(int, status);

    GameFolder game;
    game.write(firstLog, kServerLog);
    game.write("vorskal.ini", points);
    TallyWindow window(game.path());
    QCOMPARE(window.windowTitle(), "VORSKAL Ver. 3.40 - " + game.path());
    QSignalSpy finished(&window, &TallyWindow::finished);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    BoxCloser closer;
    QTest::mouseClick(window.findChild<QPushButton*>("tallyButton"), Qt::LeftButton);
    QVERIFY(finished.wait(20000));
    QTest::qWait(30);  // a second box, if any, would come up now

    QCOMPARE(closer.seen.size(), 1);
    const SeenBox& seen = closer.seen[0];
    QCOMPARE(seen.title, QString("VORSKAL"));
    if (text == "ERROR") {
        const QList<QByteArray> lines = game.read("vorskal.log").split('\n');
        QCOMPARE(lines.at(lines.size() - 2), "ERROR -- " + seen.text.toLocal8Bit() + "\r");
        QVERIFY2(seen.text.contains("ten"), qPrintable(seen.text));
    } else {
        QCOMPARE(seen.text, text);
    }
    QCOMPARE(seen.detail, detail);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, 1);
    QVERIFY(seen.modal);
    QCOMPARE(finished.at(0).at(0).toInt(), status);
    QCOMPARE(window.exitStatus(), status);
}

void TallyWindowTest::windowStaysAliveWhileTheTallyRunsAndRunsOnce() {
    // A run held back until the test lets it go.
    std::atomic<bool> release = false;
    std::atomic<int> runs = 0;
    GameFolder game;
    TallyWindow window(game.path(), [&](const TallyOptions& options, const std::string& folder) {
        ++runs;
        while (!release) {
            QThread::msleep(5);
        }
        return vorskal::window::tallyGame(options, folder);
    });
    QSignalSpy finished(&window, &TallyWindow::finished);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    game.write("ux7server0.log", kServerLog);
    game.write("vorskal.ini", pointFile("Kill=10"));

    BoxCloser closer;
    auto* button = window.findChild<QPushButton*>("tallyButton");
    QTest::mouseClick(button, Qt::LeftButton);
    // Greyed at once, with the four boxes: the options stay as they were.
    QVERIFY(!button->isEnabled());
    for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
        QVERIFY(!box->isEnabled());
    }
    QTRY_COMPARE(runs.load(), 1);
    // The window's thread is free: timers fire and the window paints.
    bool ticked = false;
    QTimer::singleShot(10, [&] { ticked = true; });
    QTRY_VERIFY(ticked);
    QVERIFY(!window.grab().isNull());
    window.close();
    QVERIFY(window.isVisible());  // not while the run goes on
    QCOMPARE(closer.seen.size(), 0);

    release = true;
    QVERIFY(finished.wait(20000));
    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(closer.seen[0].text, QString("Tally Complete"));
    const QByteArray report = game.read("vorskal.log");

    // One start, one tally: a later click does nothing.
    button->setEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(runs.load(), 1);
    QCOMPARE(closer.seen.size(), 1);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(game.read("vorskal.log"), report);
}

QTEST_MAIN(TallyWindowTest)
#include "tally_window_test.moc"
