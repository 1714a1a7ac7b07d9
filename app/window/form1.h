#pragma once
// Form1, the program's one window: which files the tally reads and writes,
// the four options, and "Tally Score", which runs the tally once and then
// ends the program.
//
// The tally runs on a thread of its own, so the window keeps repainting; the
// button and the four boxes are disabled from the click on, so the options
// stay as they were when the run began, and the window cannot be closed
// until the run is over.
#include <QString>
#include <QWidget>
#include <functional>

#include "app/tally_run.h"
#include "tally/tally_state.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QThread;

namespace vorskal {

// Runs one tally on `state` in the game folder `folder` and returns its
// outcome; never throws. Called on the run's own thread.
using TallyRunner = std::function<Outcome(TallyState& state, const QString& folder)>;

// The real run: the game's files in `folder`, the system's clock, and the
// folder's lock, so that two tallies in one folder never overlap.
Outcome runTallyInFolder(TallyState& state, const QString& folder);

class Form1 : public QWidget {
    Q_OBJECT

  public:
    // A window on the game in `folder`, which the title bar shows after the
    // caption; an empty folder is the current directory, not shown.
    explicit Form1(const QString& folder = QString(), QWidget* parent = nullptr);
    // The same with a runner of the caller's (tests hold the run back).
    Form1(const QString& folder, TallyRunner runner, QWidget* parent = nullptr);
    ~Form1() override;

    // The tally state; it lives as long as the window.
    const TallyState& state() const { return state_; }
    // The program's exit status once the run has ended, -1 before.
    int exitCode() const { return exitCode_; }

  public slots:
    // The window is loaded: every option on.
    void Form_Load();
    // A box's state has changed: copy it into its option flag.
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    // "Tally Score": starts the tally; when it is over, shows its message
    // and ends the program. A window runs one tally; later clicks do nothing.
    void Command1_Click();

  signals:
    // The run is over and its message dismissed: the program ends with
    // `exitCode` (0 after "Tally Complete" or a missing first log).
    void finished(int exitCode);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();
    void setTabIndexes();
    void runFinished();

    TallyState state_;
    QString folder_;
    TallyRunner runner_;
    QThread* run_ = nullptr;  // the running tally, until it has finished
    Outcome outcome_;         // written by the run's thread, read after it ended
    int exitCode_ = -1;
    bool ran_ = false;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QLabel* Image1 = nullptr;
};

}  // namespace vorskal
