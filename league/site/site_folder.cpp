#include "league/site/site_folder.h"

#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "base/failure.h"
#include "base/leftovers.h"
#include "base/system_files.h"
#include "base/utf8_path.h"
#include "league/store/league_file.h"

namespace vorskal::league {

namespace fs = std::filesystem;

namespace {

// ".NAME.new-" or ".NAME.old-": the start of the name of a folder beside
// `target` that a build of it makes, followed by the builder's process number.
std::string siblingPrefix(const fs::path& target, const char* what) {
    return "." + target.filename().string() + "." + what + "-";
}

fs::path sibling(const fs::path& target, const char* what) {
    return target.parent_path() / (siblingPrefix(target, what) + std::to_string(processId()));
}

// Removes the new and old folders beside `target` that builds left when
// they were killed: those of processes that have ended. A build that still
// runs keeps its own.
void removeLeftovers(const fs::path& target) {
    std::error_code error;
    const fs::path parent = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const std::string fresh = siblingPrefix(target, "new");
    const std::string old = siblingPrefix(target, "old");
    std::vector<fs::path> ended;
    for (fs::directory_iterator i(parent, error), end; !error && i != end; i.increment(error)) {
        const std::string name = i->path().filename().string();
        long pid = leftoverOwner(name, fresh);
        if (pid == 0) {
            pid = leftoverOwner(name, old);
        }
        if (pid != 0 && processEnded(pid)) {
            ended.push_back(i->path());
        }
    }
    for (const fs::path& path : ended) {
        fs::remove_all(path, error);
    }
}

// Whether `path` is a regular file (not a link) that holds `bytes`.
bool holds(const fs::path& path, std::string_view bytes) {
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(path, error)) ||
        fs::file_size(path, error) != bytes.size() || error) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string held(bytes.size(), '\0');
    return in.read(held.data(), static_cast<std::streamsize>(held.size())) && held == bytes;
}

}  // namespace

SiteFolder::SiteFolder(std::string dir) : dir_(std::move(dir)) {
    target_ = utf8Path(dir_);
    if (target_.filename().empty()) {
        target_ = target_.parent_path();  // "site/": the folder itself
    }
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target_, error);
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) {
            throw LeagueError(dir_ + ": is not a folder; nothing written");
        }
        if (!fs::is_empty(target_, error) && !fs::exists(target_ / kSiteMark, error)) {
            throw LeagueError(dir_ +
                              ": is a folder that holds other files than a site of "
                              "vorskal-league (no " +
                              std::string(kSiteMark) + " in it); nothing written");
        }
    }
    removeLeftovers(target_);
    fresh_ = sibling(target_, "new");
    fs::remove_all(fresh_, error);  // a stale one of a process that had this number
    if (!fs::create_directory(fresh_, error)) {
        throw LeagueError(dir_ + ": cannot make the new site beside it (" + fresh_.string() +
                          "): " + (error ? error.message() : "it exists"));
    }
}

SiteFolder::~SiteFolder() {
    if (!committed_) {
        std::error_code ignored;
        fs::remove_all(fresh_, ignored);
    }
}

void SiteFolder::write(const std::string& relative, std::string_view bytes) {
    const fs::path path = fresh_ / utf8Path(relative);
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const fs::path before = target_ / utf8Path(relative);
    if (holds(before, bytes) && (fs::create_hard_link(before, path, error), !error)) {
        ++kept_;  // the old site's file, its bytes and its time, in the new site
        return;
    }
    ++written_;
    try {
        const std::unique_ptr<OutputFile> file = replaceFile(path.string());
        file->write(bytes);
        file->close();
    } catch (const TallyFailure& failure) {
        throw LeagueError(failure.what());
    }
}

void SiteFolder::commit() {
    write(std::string(kSiteMark),
          "A site written by vorskal-league: replaced whole by its next build.\n");
    std::error_code error;
    if (!fs::exists(fs::symlink_status(target_, error))) {
        fs::rename(fresh_, target_, error);
        if (error) {
            throw LeagueError(dir_ + ": cannot put the new site in place: " + error.message());
        }
        committed_ = true;
        return;
    }
    // The new folder takes the old one's place, the old one ends at fresh_.
    if (exchangeFolders(utf8Name(fresh_), utf8Name(target_))) {
        committed_ = true;
        fs::remove_all(fresh_, error);  // the old site
        return;
    }
    // Without an exchange: the old site steps aside, the new one takes its
    // name, the old one goes.
    const fs::path old = sibling(target_, "old");
    fs::remove_all(old, error);
    fs::rename(target_, old, error);
    if (error) {
        throw LeagueError(dir_ + ": cannot move the old site aside: " + error.message());
    }
    fs::rename(fresh_, target_, error);
    if (error) {
        std::error_code ignored;
        fs::rename(old, target_, ignored);
        throw LeagueError(dir_ + ": cannot put the new site in place: " + error.message());
    }
    committed_ = true;
    fs::remove_all(old, error);
}

}  // namespace vorskal::league
