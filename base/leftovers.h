#pragma once
// What a run that was killed leaves behind, and how a later run knows it
// may remove it: a file or folder whose name is a prefix of the writer's
// followed by the number of the process that made it, alone or followed by
// "-" and more (".NAME.new-PID-N" of a replaced file, ".DIR.new-PID" of a
// site). Such a name is a leftover once its process has ended; one of a
// process that still runs is that run's work in progress and stays.
#include <string_view>

namespace vorskal {

// The number of the process that made `name` (PREFIX PID, or PREFIX PID
// "-" ...), or 0 when `name` is not such a name.
long leftoverOwner(std::string_view name, std::string_view prefix);

// The number of this process.
long processId();

// Whether no process of number `pid` runs any more (POSIX: kill(pid, 0)
// finds none; Windows: no process of that id, or it has exited).
bool processEnded(long pid);

}  // namespace vorskal
