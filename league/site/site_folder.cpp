#include "league/site/site_folder.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <system_error>
#include <vector>

#include "base/failure.h"
#include "base/leftovers.h"
#include "base/system_files.h"
#include "base/utf8_path.h"
#include "base/writable.h"
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

constexpr std::string_view kMarkTitle =
    "A site written by vorskal-league. Its next build replaces the files listed below, and "
    "keeps any other file only when asked to (--keep-others).\n";

// Whether `inner` is `outer` or lies inside it, both made absolute.
bool inside(const fs::path& inner, const fs::path& outer) {
    std::error_code error;
    const fs::path a = fs::weakly_canonical(inner, error);
    const fs::path b = fs::weakly_canonical(outer, error);
    const auto [end, unused] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return end == b.end();
}

// The files the mark of an earlier build lists ("/" between folders); an
// empty list for the mark of a build that listed none.
std::set<std::string> listedIn(const fs::path& mark) {
    std::set<std::string> listed;
    std::ifstream in(mark, std::ios::binary);
    std::string line;
    std::getline(in, line);  // the title
    while (std::getline(in, line)) {
        if (!line.empty()) {
            listed.insert(line);
        }
    }
    return listed;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    const std::size_t shown = std::min<std::size_t>(names.size(), 5);
    for (std::size_t i = 0; i < shown; ++i) {
        text += (i == 0 ? "" : ", ") + names[i];
    }
    if (names.size() > shown) {
        text += ", and " + std::to_string(names.size() - shown) + " more";
    }
    return text;
}

}  // namespace

SiteFolder::SiteFolder(std::string dir, SiteRules rules)
    : dir_(std::move(dir)), rules_(std::move(rules)) {
    target_ = utf8Path(dir_);
    if (target_.filename().empty()) {
        target_ = target_.parent_path();  // "site/": the folder itself
    }
    checkPlace();
    removeLeftovers(target_);
    std::vector<std::string> others = othersInPlace();
    if (!others.empty() && !rules_.keepOthers) {
        throw LeagueError(
            dir_ + ": holds " + std::to_string(others.size()) +
            (others.size() == 1 ? " file" : " files") + " that no build of this site wrote (" +
            joined(others) + "), which a rebuild would delete; move " +
            (others.size() == 1 ? "it" : "them") + " elsewhere, or give --keep-others to keep " +
            (others.size() == 1 ? "it" : "them") + " in the new site; nothing written");
    }
    std::error_code error;
    fresh_ = sibling(target_, "new");
    fs::remove_all(fresh_, error);  // a stale one of a process that had this number
    if (!fs::create_directory(fresh_, error)) {
        throw LeagueError(dir_ + ": cannot make the new site beside it (" + fresh_.string() +
                          "): " + (error ? error.message() : "it exists"));
    }
    for (const std::string& other : others) {
        const fs::path from = target_ / utf8Path(other);
        const fs::path to = fresh_ / utf8Path(other);
        fs::create_directories(to.parent_path(), error);
        fs::copy(from, to, fs::copy_options::copy_symlinks, error);
        if (error) {
            fs::remove_all(fresh_, error);
            throw LeagueError(dir_ + ": cannot keep " + other +
                              " in the new site: " + error.message() + "; nothing written");
        }
    }
}

void SiteFolder::checkPlace() const {
    std::error_code error;
    const std::string name = target_.filename().string();
    if (name.empty() || name == "." || name == ".." ||
        fs::equivalent(target_, fs::current_path(error), error)) {
        throw LeagueError(dir_ +
                          ": name the site's own folder (not \".\", \"..\" or the folder "
                          "you are in): a build replaces that folder; nothing written");
    }
    const fs::file_status status = fs::symlink_status(target_, error);
    if (fs::is_symlink(status)) {
        throw LeagueError(dir_ +
                          ": is a symbolic link, which a build would replace by a folder; "
                          "give the folder it leads to instead; nothing written");
    }
    if (fs::exists(status) && !fs::is_directory(status)) {
        throw LeagueError(dir_ + ": is not a folder; nothing written");
    }
    if (!rules_.leagueFile.empty() && inside(utf8Path(rules_.leagueFile), target_)) {
        throw LeagueError(dir_ + ": holds the league file " + rules_.leagueFile +
                          ", which a build of the site would delete; keep the league file "
                          "elsewhere; nothing written");
    }
    if (fs::exists(status) && isMountPoint(utf8Name(target_))) {
        throw LeagueError(dir_ +
                          ": is a mount point, which a build cannot replace; give a folder "
                          "inside it; nothing written");
    }
    if (!folderWritable(folderOf(target_))) {
        throw LeagueError(dir_ +
                          ": the folder it lies in cannot be written, and a build makes "
                          "the new site beside it; nothing written");
    }
    if (fs::exists(status) && !fs::is_empty(target_, error) &&
        !fs::exists(target_ / kSiteMark, error)) {
        throw LeagueError(dir_ +
                          ": is a folder that holds other files than a site of "
                          "vorskal-league (no " +
                          std::string(kSiteMark) + " in it); nothing written");
    }
}

std::vector<std::string> SiteFolder::othersInPlace() const {
    std::vector<std::string> others;
    std::error_code error;
    if (!fs::exists(target_ / kSiteMark, error)) {
        return others;
    }
    const std::set<std::string> listed = listedIn(target_ / kSiteMark);
    for (fs::recursive_directory_iterator i(target_, error), end; !error && i != end;
         i.increment(error)) {
        if (i->is_directory(error) && !i->is_symlink(error)) {
            continue;
        }
        std::string relative = utf8Name(i->path().lexically_relative(target_));
        std::replace(relative.begin(), relative.end(), '\\', '/');
        const bool ours = relative == kSiteMark ||
                          (listed.empty() ? rules_.writtenBefore && rules_.writtenBefore(relative)
                                          : listed.count(relative) > 0);
        if (!ours) {
            others.push_back(relative);
        }
    }
    std::sort(others.begin(), others.end());
    return others;
}

SiteFolder::~SiteFolder() {
    if (!committed_) {
        std::error_code ignored;
        fs::remove_all(fresh_, ignored);
    }
}

void SiteFolder::write(const std::string& relative, std::string_view bytes) {
    if (relative != kSiteMark) {
        listed_.push_back(relative);
    }
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
        // The new site's folder is this build's own and takes its place
        // whole: its files are made there at once.
        const std::unique_ptr<OutputFile> file = createNewFile(path.string());
        file->write(bytes);
        file->close();
    } catch (const TallyFailure& failure) {
        throw LeagueError(failure.what());
    }
}

void SiteFolder::commit() {
    std::sort(listed_.begin(), listed_.end());
    std::string mark(kMarkTitle);
    for (const std::string& name : listed_) {
        mark += name + "\n";
    }
    write(std::string(kSiteMark), mark);
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
