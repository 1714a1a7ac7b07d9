#pragma once
// The window's controls, the same on every system: what each one is, its
// name, its caption and where it stands. Both views (Qt on Linux, Win32 on
// Windows) build their controls from this one table.
#include <array>
#include <optional>
#include <string>

#include "app/window/option_boxes.h"

namespace vorskal::window {

enum class ControlKind { Label, Button, Box, Picture };

// A place in twips (1440 to an inch) from the client area's top-left corner.
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Control {
    ControlKind kind;
    const char* name;     // what the control is: `tallyButton`, `overMaxBox`, ...
    const char* caption;  // "" for the picture
    Twips place;
    std::optional<Option> option;  // the option flag a box sets
};

// Every control, in keyboard order: the button, then the boxes in the order
// Tab visits them; the labels and the picture take no focus.
inline constexpr std::array<Control, 8> kControls = {{
    {ControlKind::Button, "tallyButton", "Tally Score", {1440, 1440, 1695, 615}, {}},
    // Wider than its neighbours: its caption stands on one line, which at
    // their width Windows clipped ("... Bug Correctio").
    {ControlKind::Box,
     "multiDeathBox",
     "Enable Multi-Death Bug Correction",
     {720, 3120, 3735, 255},
     Option::MultiDeathCorrection},
    {ControlKind::Box,
     "fighterTargetBox",
     "Enable Fighter Destroyed Target Correction",
     {720, 3600, 3135, 375},
     Option::FighterTargetCorrection},
    {ControlKind::Box,
     "overMaxBox",
     "Enable Over Max Pilot Correction",
     {720, 2520, 2775, 375},
     Option::OverMaxPilotCorrection},
    {ControlKind::Box,
     "redBoxedOnlyBox",
     "Tally Only Red Boxed Targets Destroyed",
     {720, 4200, 3135, 495},
     Option::RedBoxedOnly},
    {ControlKind::Label, "inputLabel", "Input file(s): ux7serverx.log", {1440, 240, 2055, 255}, {}},
    {ControlKind::Label, "outputLabel", "Output file: vorskal.log", {1440, 600, 1695, 255}, {}},
    {ControlKind::Picture, "picture", "", {1200, 5040, 2160, 1170}, {}},
}};

// The client area: 4590 by 6525 twips, fixed.
inline constexpr Twips kClientArea = {0, 0, 4590, 6525};

// The picture's bitmap: 144 by 78 pixels at 96 dots per inch.
inline constexpr int kPictureWidth = 144;
inline constexpr int kPictureHeight = 78;

// Caption font sizes tried, in pixels at 96 dots per inch, largest first.
inline constexpr int kLargestFontPixels = 13;
inline constexpr int kSmallestFontPixels = 7;

// Twips to pixels at `dpi` dots per inch (96 is 15 twips to a pixel).
constexpr int pixels(int twips, int dpi = 96) {
    return twips * dpi / 1440;
}

// The largest font size from kLargestFontPixels down to kSmallestFontPixels
// at which `fits` says every caption is readable whole; the smallest when
// none is.
template <typename Fits>
int captionFontPixels(Fits&& fits) {
    for (int size = kLargestFontPixels; size > kSmallestFontPixels; --size) {
        if (fits(size)) {
            return size;
        }
    }
    return kSmallestFontPixels;
}

// The title bar: "VORSKAL Ver. 3.40", then " - " and the game folder when
// one was chosen.
std::string windowTitle(const std::string& folder);

// The title of every message box of the program.
inline constexpr const char* kMessageTitle = "VORSKAL";

}  // namespace vorskal::window
