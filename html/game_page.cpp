#include "html/game_page.h"

#include <memory>

#include "base/failure.h"
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

std::string gamePage(const results::GameResults& game, const PageLimits& limits) {
    std::string out;
    out.reserve(256 * 1024);
    out +=
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
        "<meta name=\"generator\" content=\"";
    appendText(out, tool(game));
    out += "\">\n<meta name=\"vorskal-page-format\" content=\"";
    appendNumber(out, kPageFormat);
    out += "\">\n<title>";
    appendText(out, pageTitle(game));
    out += "</title>\n<style>";
    out += kPageStyle;
    out += "</style>\n</head>\n<body>\n";

    appendHeader(out, game);
    appendWarnings(out, game, limits);

    out += "\n<section id=\"arena\">";
    appendElement(out, "h2", "", "Pilots in the game");
    out += "<figure>";
    appendArenaChart(out, game);
    appendElement(out, "figcaption", "",
                  "Pilots of each side in the game over the game's time. Shaded: a side's 17th "
                  "or 18th pilot in the game, with the minutes and the points deducted for it "
                  "(one point for every full 3 minutes).");
    out += "</figure>";
    appendOverMaxTable(out, game, limits);
    out += "</section>\n<section id=\"activity\">";
    appendElement(out, "h2", "", "Kills and deaths over time");
    out += "<figure>";
    appendActivityChart(out, game);
    out += "</figure></section>\n";

    appendScores(out, game);
    out += '\n';
    appendCorrections(out, game, limits);
    out += '\n';
    appendRedBoxNotes(out, game, limits);
    out += '\n';
    appendFiles(out, game);
    out += "\n<footer>";
    appendText(out, "Written by " + tool(game) + " (page format " + std::to_string(kPageFormat) +
                        ") from the results of the run.");
    out += "</footer>\n<script>";
    out += kSortScript;
    out += "</script>\n</body>\n</html>\n";
    return out;
}

bool writeGamePage(const results::GameResults& game, const std::string& path, std::string& error) {
    try {
        const std::unique_ptr<OutputFile> file = replaceFile(path);
        file->write(gamePage(game));
        file->close();
        return true;
    } catch (const TallyFailure& failure) {
        error = failure.what();
        return false;
    }
}

}  // namespace vorskal::html
