#pragma once
// Whether a program may make files in a folder, found by trying (a file
// made and removed at once), not guessed from permission bits: access lists,
// read-only mounts and the rights of the user all answer. Used to refuse an
// output before a run does any work, instead of failing after it.
#include <filesystem>

namespace vorskal {

bool folderWritable(const std::filesystem::path& folder);

// Whether this user may write the existing file at `file`, found by
// opening it to write (nothing is written, nothing made).
bool fileWritable(const std::filesystem::path& file);

// The folder a file of `path` lies in ("." for a plain name).
std::filesystem::path folderOf(const std::filesystem::path& path);

}  // namespace vorskal
