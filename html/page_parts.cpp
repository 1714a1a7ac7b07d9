#include "html/page_parts.h"

#include "html/html_text.h"

namespace vorskal::html {

void appendElement(std::string& out, std::string_view tag, std::string_view attributes,
                   std::string_view text) {
    out += '<';
    out += tag;
    if (!attributes.empty()) {
        out += ' ';
        out += attributes;
    }
    out += '>';
    appendText(out, text);
    out += "</";
    out += tag;
    out += '>';
}

void appendNumberCell(std::string& out, std::int64_t value) {
    out += "<td class=\"n\">";
    appendNumber(out, value);
    out += "</td>";
}

void appendNotShown(std::string& out, std::size_t shown, std::size_t total, std::string_view what) {
    if (shown >= total) {
        return;
    }
    out += "<p class=\"more\">";
    appendText(out, "The first " + std::to_string(shown) + " of " + std::to_string(total) + " " +
                        std::string(what) + " are shown; the other " +
                        std::to_string(total - shown) + " are in the report and the JSON results.");
    out += "</p>";
}

// A table of how many entries there are of each name, in name order.
void appendCounts(std::string& out, const std::map<std::string, std::size_t>& counts,
                  const char* what) {
    out += "<table class=\"sortable counts\"><thead><tr><th scope=\"col\">";
    out += what;
    out += "</th><th scope=\"col\" class=\"n\">Count</th></tr></thead><tbody>";
    for (const auto& [name, count] : counts) {
        out += "<tr>";
        appendElement(out, "td", "", name);
        appendNumberCell(out, static_cast<std::int64_t>(count));
        out += "</tr>";
    }
    out += "</tbody></table>";
}

}  // namespace vorskal::html
