// The Qt window as the user meets it: the boxes set the options, the
// keyboard goes through the controls in order, "Tally Score" runs the tally
// off the window's thread and its closing message comes up in a box over
// the window; then the program ends. What the message says and which
// options reach the run are the shared part's, tested without a window.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <string>

#include "app/window/qt/tally_window.h"
#include "tests/support/game_dir.h"

using vorskal::TallyOptions;
using vorskal::window::TallyWindow;

namespace {

using vorskal::testing::GameDir;

// Watches for the modal message box while it lives; notes what each box
// shows, one line each (title, text, the informative text under it, icon,
// buttons, modal), and presses its OK button, as the user would.
class BoxCloser : public QObject {
  public:
    BoxCloser() {
        connect(&timer_, &QTimer::timeout, this, &BoxCloser::poll);
        timer_.start(10);
    }
    QStringList seen;

  private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        const QMessageBox::Icon icon = box->icon();
        seen.append(QStringList{box->windowTitle(), box->text(), box->informativeText(),
                                icon == QMessageBox::NoIcon     ? "no icon"
                                : icon == QMessageBox::Critical ? "critical"
                                                                : "other icon",
                                QString::number(box->buttons().size()) + " button",
                                box->isModal() ? "modal" : "modeless"}
                        .join(" | "));
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
    void controlsInOrderReadableAndEachBoxItsOwnOption();
    void runKeepsTheWindowAliveAndEndsInItsMessageBox_data();
    void runKeepsTheWindowAliveAndEndsInItsMessageBox();
};

void TallyWindowTest::controlsInOrderReadableAndEachBoxItsOwnOption() {
    TallyWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // The keyboard starts on the button and goes through the boxes.
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("tallyButton"));
    for (const char* next :
         {"multiDeathBox", "fighterTargetBox", "overMaxBox", "redBoxedOnlyBox", "tallyButton"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString(next));
    }

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

    const auto flags = [&] {
        const TallyOptions& o = window.session().options();
        return QList<bool>{o.overMaxPilotCorrection, o.multiDeathCorrection,
                           o.fighterTargetCorrection, o.redBoxedOnly};
    };
    QList<bool> expected{true, true, true, true};
    QCOMPARE(flags(), expected);
    // In the order of TallyOptions' members; each clicked on its indicator (at
    // the left, vertically centred), then on its caption, right of it.
    const char* boxes[] = {"overMaxBox", "multiDeathBox", "fighterTargetBox", "redBoxedOnlyBox"};
    for (int option = 0; option < 4; ++option) {
        auto* check = window.findChild<QCheckBox*>(boxes[option]);
        QVERIFY(check != nullptr);
        for (const int x : {6, captionLeft(*check) + 10}) {
            QCOMPARE(check->checkState(), Qt::Checked);
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(x, check->height() / 2));
            expected[option] = false;
            QCOMPARE(flags(), expected);
            // Grayed (only the program grays a box) keeps the last value.
            check->setCheckState(Qt::PartiallyChecked);
            QCOMPARE(flags(), expected);
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(x, check->height() / 2));
            QCOMPARE(check->checkState(), Qt::Checked);
            expected[option] = true;
            QCOMPARE(flags(), expected);
        }
    }
}

void TallyWindowTest::runKeepsTheWindowAliveAndEndsInItsMessageBox_data() {
    QTest::addColumn<QString>("firstLog");
    QTest::addColumn<QString>("killLine");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("status");
    QTest::newRow("complete")
        << "ux7server0.log"
        << "Kill=10"
        << "VORSKAL | Tally Complete | Final totals: Allied 10, Hun -5 | no icon | 1 button | modal"
        << 0;
    QTest::newRow("missing first log")
        << "ux7server1.log"
        << "Kill=10"
        << "VORSKAL | Could not find ux7server0.log |  | no icon | 1 button | modal" << 0;
    QTest::newRow("failure")
        << "ux7server0.log"
        << "Kill=ten"
        << "VORSKAL | vorskal.ini line 6: \"ten\" is not a number |  | critical | 1 button | modal"
        << 2;
}

void TallyWindowTest::runKeepsTheWindowAliveAndEndsInItsMessageBox() {
    QFETCH(QString, firstLog);
    QFETCH(QString, killLine);
    QFETCH(QString, box);
    QFETCH(int, status);

    // A run held back until the test lets it go.
    std::atomic<bool> release = false;
    std::atomic<int> runs = 0;
    GameDir game;
    TallyWindow window(QString::fromStdString(game.path()),
                       [&](const TallyOptions& options, const std::string& folder) {
                           ++runs;
                           while (!release) {
                               QThread::msleep(5);
                           }
                           return vorskal::window::tallyGame(options, folder);
                       });
    QCOMPARE(window.windowTitle(), "VORSKAL Ver. 3.40 - " + QString::fromStdString(game.path()));
    QSignalSpy finished(&window, &TallyWindow::finished);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    game.writeOneKill(firstLog.toStdString(), killLine.toStdString());

    BoxCloser closer;
    auto* button = window.findChild<QPushButton*>("tallyButton");
    QTest::mouseClick(button, Qt::LeftButton);
    // Greyed at once, with the four boxes: the options stay as they were.
    QVERIFY(!button->isEnabled());
    for (QCheckBox* check : window.findChildren<QCheckBox*>()) {
        QVERIFY(!check->isEnabled());
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
    const std::string report = game.read("vorskal.log");
    // One start, one tally: a later click does nothing, and one box comes up.
    button->setEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(runs.load(), 1);
    QCOMPARE(closer.seen, QStringList{box});
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), status);
    QCOMPARE(window.exitStatus(), status);
    QCOMPARE(game.read("vorskal.log"), report);
}

QTEST_MAIN(TallyWindowTest)
#include "tally_window_test.moc"
