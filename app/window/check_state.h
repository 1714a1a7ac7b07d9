#pragma once
// How a check box's state becomes its option flag. The toolkit numbers its
// states unchecked 0, partially checked 1, checked 2; the program's own
// states are unchecked 0, checked 1, grayed 2. The states are matched by
// name here, so the numbers never meet.
#include <QtCore/qnamespace.h>

#include "base/checked.h"

namespace vorskal {

// Checked sets the flag to 1, unchecked to 0; the grayed (partially checked)
// state leaves the flag as it is.
void applyCheckState(Qt::CheckState state, Count& flag);

}  // namespace vorskal
