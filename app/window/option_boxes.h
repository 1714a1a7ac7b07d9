#pragma once
// The four option boxes and the run's settings they set. A box copies its
// state into its option flag when the state changes; the run reads the
// flags.
#include "app/tally_run.h"

namespace vorskal::window {

enum class Option {
    OverMaxPilotCorrection,
    MultiDeathCorrection,
    FighterTargetCorrection,
    RedBoxedOnly,
};

// A box's state. Only the program grays a box; a click toggles between
// checked and unchecked.
enum class BoxState { Unchecked, Checked, Grayed };

// The flag of `options` that `option` names.
bool& flagOf(TallyOptions& options, Option option);

// Checked turns the flag on, unchecked off; grayed leaves it as it is.
void applyBoxState(BoxState state, bool& flag);

}  // namespace vorskal::window
