#pragma once
// The window's closing message: a modal box with one OK button and the
// program's title, over the window.
#include "app/tally_run.h"

class QWidget;

namespace vorskal {

// The title of every message box of the program.
inline constexpr const char* kMessageTitle = "VORSKAL";

class MessageBoxSink {
  public:
    explicit MessageBoxSink(QWidget* parent) : parent_(parent) {}
    // Returns when the user has dismissed the box.
    void show(const Outcome& outcome);

  private:
    QWidget* parent_;
};

}  // namespace vorskal
