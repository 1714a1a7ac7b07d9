#pragma once
// Reading a number from a text, as the settings file and the log's time
// fields hold them: optional blanks, an optional sign, decimal digits with an
// optional fraction (".5" and "5." are numbers), optional blanks; nothing
// else. A blank is the space character only: a tab is not. The value is rounded down towards minus
// infinity (-1.5 gives -2).
#include <cstdint>
#include <string>
#include <string_view>

#include "base/checked.h"

namespace vorskal {

// False when the text is not a number. Values too large for 64 bits are
// clamped far outside the 32-bit range, so a range check still catches them.
bool readNumber(std::string_view text, std::int64_t& value);

// Reads a number that must fit a Count. Throws TallyFailure naming `file`,
// `line` and the text when it is not a number or leaves the 32-bit range.
Count readCount(std::string_view text, std::string_view file, std::uint64_t line);

// Appends a whole number in plain decimal, a minus sign when negative (the
// outputs' numbers: JSON, CSV, the pages).
void appendNumber(std::string& out, std::int64_t value);

}  // namespace vorskal
