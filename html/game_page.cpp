#include "html/game_page.h"

#include <memory>

#include "base/system_files.h"
#include "html/html_text.h"
#include "html/page_assets.h"
#include "html/svg_charts.h"

namespace vorskal::html {
namespace {

std::string pageTitle(const results::GameResults& game) {
    std::string title = "ZORL results";
    if (!game.settings.map.empty()) {
        title += ": " + game.settings.map;
    }
    if (!game.gameDate.empty()) {
        title += ", " + game.gameDate;
    }
    if (!game.firstTime.empty()) {
        title += " " + game.firstTime;
    }
    return title;
}

std::string tool(const results::GameResults& game) {
    return game.toolVersion.empty() ? game.toolName : game.toolName + " " + game.toolVersion;
}

}  // namespace

void PageLists::add(const results::Correction& row, const PageLimits& limits) {
    corrections.add(row, correctionGroup(row), limits.corrections);
}

void PageLists::add(const results::TargetRow& row, const PageLimits& limits) {
    if (row.pilot.empty()) {
        notCredited.add(row, row.reason, limits.notes);
    }
}

void PageLists::add(const results::ArenaEvent& row) {
    marks.push_back(arenaMark(row));
}

PageLists pageLists(const results::GameResults& game, const PageLimits& limits) {
    PageLists lists;
    lists.marks.reserve(game.arena.size());
    for (const results::Correction& correction : game.corrections) {
        lists.add(correction, limits);
    }
    for (const results::TargetRow& target : game.targets) {
        lists.add(target, limits);
    }
    for (const results::ArenaEvent& event : game.arena) {
        lists.add(event);
    }
    return lists;
}

std::string gamePage(const results::GameResults& game, const PageLimits& limits) {
    return gamePage(game, pageLists(game, limits), limits);
}

std::string gamePage(const results::GameResults& game, const PageLists& lists,
                     const PageLimits& limits) {
    return gamePage(game, lists, limits, nullptr);
}

namespace {

// The sections drawn from the game's time: the pilots in the game with the
// stretches over the limit, the kills and deaths per minute.
void appendTimeSections(std::string& out, const results::GameResults& game, const PageLists& lists,
                        const PageLimits& limits) {
    out += "\n<section id=\"arena\">";
    appendElement(out, "h2", "", "Pilots in the game");
    out += "<figure>";
    appendArenaChart(out, game, lists.marks);
    appendElement(out, "figcaption", "",
                  "Pilots of each side in the game over the game's time. Shaded: a side's 17th "
                  "or 18th pilot in the game, with the minutes and the points deducted for it "
                  "(one point for every full 3 minutes).");
    out += "</figure>";
    appendOverMaxTable(out, game, limits);
    out += "</section>\n<section id=\"activity\">";
    appendElement(out, "h2", "", "Kills and deaths over time");
    out += "<figure>";
    appendActivityChart(out, game, lists.marks);
    out += "</figure></section>\n";
}

// The page; `noLists`, when set, says why no long list is known.
std::string page(const results::GameResults& game, const PageLists& lists, const PageLimits& limits,
                 const LiveNote* live, const std::string_view* noLists) {
    std::string out;
    out.reserve(256 * 1024);
    std::string head = "<meta name=\"vorskal-page-format\" content=\"";
    appendNumber(head, kPageFormat);
    head += "\">\n";
    if (live != nullptr) {
        head += "<meta http-equiv=\"refresh\" content=\"";
        appendNumber(head, live->refreshSeconds);
        head += "\">\n";
    }
    appendPageStart(out, pageTitle(game), tool(game), head);
    if (live != nullptr) {
        appendElement(out, "p", "class=\"live\" id=\"live\" role=\"status\"",
                      "live, as of " + live->asOf);
        out += '\n';
    }

    appendHeader(out, game);
    appendWarnings(out, game, limits);

    if (noLists != nullptr) {
        out += "\n<section id=\"no-lists\">";
        appendElement(out, "h2", "", "Over the game's time");
        appendElement(out, "p", "", *noLists);
        out += "</section>\n";
    } else {
        appendTimeSections(out, game, lists, limits);
    }
    appendScores(out, game);
    out += '\n';
    appendCorrections(out, lists.corrections);
    out += '\n';
    if (noLists == nullptr) {
        appendRedBoxNotes(out, lists.notCredited);
        out += '\n';
    }
    appendFiles(out, game);
    appendPageEnd(out, "Written by " + tool(game) + " (page format " + std::to_string(kPageFormat) +
                           ") from the results of the run.");
    return out;
}

}  // namespace

std::string gamePage(const results::GameResults& game, const PageLists& lists,
                     const PageLimits& limits, const LiveNote* live) {
    return page(game, lists, limits, live, nullptr);
}

std::string gamePageWithoutLists(const results::GameResults& game, std::string_view why,
                                 const PageLimits& limits) {
    return page(game, pageLists(game, limits), limits, nullptr, &why);
}

void writeGamePage(const results::GameResults& game, const std::string& path) {
    writeGamePage(game, pageLists(game), path);
}

void writeGamePage(const results::GameResults& game, const PageLists& lists,
                   const std::string& path, const LiveNote* live) {
    const std::unique_ptr<OutputFile> file = replaceFile(path);
    file->write(gamePage(game, lists, {}, live));
    file->close();
}

}  // namespace vorskal::html
