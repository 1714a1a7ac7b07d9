#include "app/window/check_state.h"

namespace vorskal {

void applyCheckState(Qt::CheckState state, Count& flag) {
    switch (state) {
        case Qt::Checked:
            flag = 1;
            break;
        case Qt::Unchecked:
            flag = 0;
            break;
        case Qt::PartiallyChecked:
            break;
    }
}

}  // namespace vorskal
