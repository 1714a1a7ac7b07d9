#pragma once
// The runner's outputs are checked before the run starts: a run never does
// its work, and appends its report, only to find afterwards that a result
// cannot be written. (The league file is checked by the recorder.)
#include <string>

namespace vorskal {

// What cannot be written, naming the path; empty when every output can.
// `json` "-" is standard output; an empty path is no output.
std::string unwritableOutput(const std::string& json, const std::string& csv,
                             const std::string& html);

}  // namespace vorskal
