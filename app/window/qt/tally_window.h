#pragma once
// The window on Linux, drawn with Qt: the controls of form_layout.h over a
// WindowSession, which holds what the window does. "Tally Score" runs the
// session's tally on a thread of its own, so the window keeps repainting;
// the button and the boxes are disabled from the click on, and the window
// cannot be closed until the run is over and its message dismissed.
#include <QString>
#include <QWidget>

#include "app/window/window_session.h"

class QThread;

namespace vorskal::window {

class TallyWindow : public QWidget {
    Q_OBJECT

  public:
    // A window on the game in `folder` (a local path; empty is the current
    // directory, not shown in the title).
    explicit TallyWindow(const QString& folder = QString(), GameRunner runner = tallyGame,
                         QWidget* parent = nullptr);
    ~TallyWindow() override;

    const WindowSession& session() const { return session_; }
    // The program's exit status once the run has ended, -1 before.
    int exitStatus() const { return exitStatus_; }

  signals:
    // The run is over and its message dismissed: the program ends with
    // `exitStatus`.
    void finished(int exitStatus);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void tallyClicked();
    void runFinished();

    WindowSession session_;
    QList<QWidget*> inputs_;  // the button and the boxes
    QThread* run_ = nullptr;  // the running tally, until it has finished
    RunEnd end_;              // written by the run's thread, read after it ended
    int exitStatus_ = -1;
};

// Shows `message` in a modal box over `parent` with one OK button and the
// program's title; returns when the user has dismissed it.
void showClosingMessage(QWidget* parent, const ClosingMessage& message);

}  // namespace vorskal::window
