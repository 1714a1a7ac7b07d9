#pragma once
// The folder a site is written to, replaced in one step: the pages are
// written into a new folder beside it (".NAME.new-PID"), which then takes
// the old folder's place at once (Linux: the two are exchanged in one step,
// exchangeFolders of base/system_files.h, then the old one is removed), so
// that a web server or a reader never sees half a site. A run that fails
// leaves the old site as it was and removes its new folder; one that is
// killed leaves the old site and its ".NAME.new-PID" beside it, which the
// next build removes (those of processes that have ended: base/leftovers.h).
// Only a folder that is missing, empty, or a site written before (it holds
// the file ".vorskal-site") is replaced: any other folder is refused, so
// that a mistyped name never deletes someone's files. The mark lists the
// files the build wrote; a rebuild replaces those, and refuses, naming
// them, when the folder holds any other file (or keeps them in the new
// site, when asked). A folder that holds the league file, a symbolic link,
// a mount point, "." and a folder whose parent cannot be written are
// refused with words that say so. docs/site.md.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorskal::league {

inline constexpr std::string_view kSiteMark = ".vorskal-site";

// What a build may replace besides the files the last build listed.
struct SiteRules {
    std::string leagueFile;   // the league file read: never inside the folder
    bool keepOthers = false;  // files no build wrote are kept in the new site
    // The files a build wrote before the mark listed them (a mark of one
    // line): those of the site's own layout.
    std::function<bool(const std::string& relative)> writtenBefore;
};

class SiteFolder {
  public:
    // Throws LeagueError naming `dir` when it cannot be replaced, or the
    // new folder cannot be made.
    SiteFolder(std::string dir, SiteRules rules);
    ~SiteFolder();  // without commit(): the new folder is removed
    SiteFolder(const SiteFolder&) = delete;
    SiteFolder& operator=(const SiteFolder&) = delete;

    // Writes `bytes` to `relative` ("index.html", "games/game-1.html")
    // inside the new folder, making its folders. When the old site's file of
    // that name holds the same bytes, that file is linked into the new site
    // instead (its time and identity stay, nothing is written), where the
    // file system links files. Throws LeagueError.
    void write(const std::string& relative, std::string_view bytes);
    // The files write() wrote and those it kept from the old site.
    int written() const { return written_; }
    int kept() const { return kept_; }
    // The new folder takes the old one's place. Throws LeagueError.
    void commit();

  private:
    void checkPlace() const;
    std::vector<std::string> othersInPlace() const;

    std::string dir_;
    SiteRules rules_;
    std::vector<std::string> listed_;  // what write() wrote or kept, for the mark
    std::filesystem::path target_;
    std::filesystem::path fresh_;
    bool committed_ = false;
    int written_ = 0;
    int kept_ = 0;
};

}  // namespace vorskal::league
