#pragma once
// The runner's outputs checked before the run starts: an output never
// replaces an input, and is written only as a regular file.
//
// An output (--json FILE, each file of --csv DIR, --html FILE, and the
// league file of --record) is refused when it is, or links to, one of the
// game's files: a numbered log "ux7serverN.log", "vorskal.ini", "vorskal.log"
// or "ux7server.log" (also when the file is not there yet: the run makes it,
// or the next run merges it), or the league file; when two outputs name the
// same file; and when it is there but is not a regular file (a FIFO, a device
// such as /dev/null, a directory). Files are compared by identity (device and
// inode, or volume and file ID), never by the names given: "g/./vorskal.log",
// a symbolic or a hard link to it all name the game's report.
#include <string>
#include <vector>

namespace vorskal {

struct NamedOutput {
    std::string option;  // as the user gave it: "--json", "--csv", "--html", "--record"
    std::string path;
};

// The reason the first refused output is refused ("--json g/vorskal.log
// names the game's \"vorskal.log\": ..."); empty when every output may be
// written. `directory` is the game's.
std::string refusedOutput(const std::string& directory, const std::vector<NamedOutput>& outputs);

}  // namespace vorskal
