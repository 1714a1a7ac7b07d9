#include "league/site_folder.h"

#include <cstdio>
#include <memory>
#include <system_error>

#include "base/failure.h"
#include "base/system_files.h"
#include "base/utf8_path.h"
#include "league/league_file.h"

#ifdef _WIN32
#include <process.h>
#define VORSKAL_PID _getpid()
#else
#include <fcntl.h>
#include <unistd.h>
#define VORSKAL_PID getpid()
#endif

namespace vorskal::league {

namespace fs = std::filesystem;

namespace {

fs::path sibling(const fs::path& target, const char* what) {
    return target.parent_path() /
           ("." + target.filename().string() + "." + what + "-" + std::to_string(VORSKAL_PID));
}

// The new folder takes `target`'s place, which exists; the old folder ends
// at `fresh`.
bool exchange(const fs::path& fresh, const fs::path& target) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    return renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0;
#else
    (void)fresh;
    (void)target;
    return false;
#endif
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
    if (exchange(fresh_, target_)) {
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
