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
// that a mistyped name never deletes someone's files.
#include <filesystem>
#include <string>
#include <string_view>

namespace vorskal::league {

inline constexpr std::string_view kSiteMark = ".vorskal-site";

class SiteFolder {
  public:
    // Throws LeagueError naming `dir` when it cannot be replaced, or the
    // new folder cannot be made.
    explicit SiteFolder(std::string dir);
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
    std::string dir_;
    std::filesystem::path target_;
    std::filesystem::path fresh_;
    bool committed_ = false;
    int written_ = 0;
    int kept_ = 0;
};

}  // namespace vorskal::league
