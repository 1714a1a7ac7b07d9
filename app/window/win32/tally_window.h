#pragma once
// The window on Windows, drawn with the Win32 API: the controls of
// form_layout.h over a WindowSession, which holds what the window does.
// "Tally Score" runs the session's tally on a thread of its own, so the
// window keeps repainting; the button and the boxes are disabled from the
// click on, and the window cannot be closed until the run is over and its
// message dismissed. Per-monitor DPI aware: the controls, the font and the
// picture follow the monitor's scale.
#include <windows.h>

#include <array>
#include <thread>

#include "app/window/form_layout.h"
#include "app/window/game_folder.h"
#include "app/window/window_session.h"

namespace vorskal::window {

class TallyWindow {
  public:
    TallyWindow(HINSTANCE instance, WindowSession& session);
    ~TallyWindow();
    TallyWindow(const TallyWindow&) = delete;
    TallyWindow& operator=(const TallyWindow&) = delete;

    // Shows the window and works its messages until the run's message is
    // dismissed; returns the program's exit status (0 when closed unused).
    int run();

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void createControls();
    void layOut(UINT dpi);
    void clicked(int id);  // the index of the control in kControls
    void tally();
    void runEnded();

    HINSTANCE instance_;
    WindowSession& session_;
    HWND window_ = nullptr;
    std::array<HWND, kControls.size()> controls_{};
    HFONT font_ = nullptr;
    HBITMAP picture_ = nullptr;
    std::thread run_;
    RunEnd end_;  // written by the run's thread, read after it ended
    int exitStatus_ = 0;
};

// The system's folder dialog, asked again for a folder without the first
// log; for chooseGameFolder.
FolderDialog systemFolderDialog();

}  // namespace vorskal::window
