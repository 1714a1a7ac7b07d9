#include "app/window/option_boxes.h"

namespace vorskal::window {

bool& flagOf(TallyOptions& options, Option option) {
    switch (option) {
        case Option::OverMaxPilotCorrection:
            return options.overMaxPilotCorrection;
        case Option::MultiDeathCorrection:
            return options.multiDeathCorrection;
        case Option::FighterTargetCorrection:
            return options.fighterTargetCorrection;
        case Option::RedBoxedOnly:
            break;
    }
    return options.redBoxedOnly;
}

void applyBoxState(BoxState state, bool& flag) {
    switch (state) {
        case BoxState::Checked:
            flag = true;
            break;
        case BoxState::Unchecked:
            flag = false;
            break;
        case BoxState::Grayed:
            break;
    }
}

}  // namespace vorskal::window
