#include "league/listings/html_page.h"

#include "base/version.h"
#include "html/page_assets.h"
#include "html/page_parts.h"

namespace vorskal::league {

std::string leagueTool() {
    return "vorskal-league " + std::string(kVersion);
}

void writePageStart(std::ostream& out, const std::string& title, const std::string& subtitle) {
    std::string page;
    html::appendPageStart(page, title, leagueTool());
    html::appendElement(page, "h1", "", title);
    page += '\n';
    if (!subtitle.empty()) {
        html::appendElement(page, "p", "class=\"sub\"", subtitle);
        page += '\n';
    }
    out << page;
}

void writeHtmlTable(std::ostream& out, const std::string& caption, const TextTable& table) {
    std::string page = "<table class=\"sortable\">\n";
    if (!caption.empty()) {
        const bool allied = caption.rfind("Allied", 0) == 0;
        const bool hun = caption.rfind("Hun", 0) == 0;
        html::appendElement(page, "caption",
                            allied ? "class=\"allied\""
                            : hun  ? "class=\"hun\""
                                   : "",
                            caption);
        page += '\n';
    }
    const auto numeric = [&](std::size_t column) {
        return column < table.numeric.size() && table.numeric[column];
    };
    page += "<thead><tr>";
    for (std::size_t i = 0; i < table.header.size(); ++i) {
        html::appendElement(page, "th", numeric(i) ? "scope=\"col\" class=\"n\"" : "scope=\"col\"",
                            table.header[i]);
    }
    page += "</tr></thead>\n<tbody>\n";
    for (const auto& row : table.rows) {
        page += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i) {
            html::appendElement(page, "td", numeric(i) ? "class=\"n\"" : "", row[i]);
        }
        page += "</tr>\n";
    }
    page += "</tbody>\n</table>\n";
    out << page;
}

void writePageEnd(std::ostream& out) {
    std::string page;
    html::appendPageEnd(page, "Made by " + leagueTool());
    out << page;
}

}  // namespace vorskal::league
