#pragma once
// Form1, the program's one window: which files the tally reads and writes,
// the four options, and "Tally Score", which runs the tally once and then
// ends the program.
#include <QWidget>

#include "tally/tally_state.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace vorskal {

class Form1 : public QWidget {
    Q_OBJECT

  public:
    explicit Form1(QWidget* parent = nullptr);

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
    // "Tally Score": runs the tally, shows its message and ends the program.
    // A window runs one tally; later clicks do nothing.
    void Command1_Click();

  signals:
    // The run is over and its message dismissed: the program ends with
    // `exitCode` (0 after "Tally Complete" or a missing first log).
    void finished(int exitCode);

  private:
    void createControls();
    void setTabIndexes();

    TallyState state_;
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
