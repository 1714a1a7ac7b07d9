#include "league/html_page.h"

namespace vorskal::league {

namespace {

constexpr const char* kStyle = R"css(
body { font-family: "DejaVu Sans", Verdana, sans-serif; margin: 2em auto; max-width: 60em;
       color: #222; background: #fbfaf6; }
h1 { font-size: 1.5em; margin-bottom: 0.2em; }
p.sub { color: #666; margin-top: 0; }
h2 { font-size: 1.15em; margin-top: 1.6em; border-bottom: 2px solid #8a6d3b; }
table { border-collapse: collapse; margin: 0.6em 0 1em; }
caption { text-align: left; font-weight: bold; padding: 0.3em 0; }
th, td { padding: 0.25em 0.7em; border-bottom: 1px solid #ddd; }
th { background: #efe9dc; text-align: left; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
tr:nth-child(even) td { background: #f4f1ea; }
footer { color: #888; font-size: 0.85em; margin-top: 2em; }
)css";

}  // namespace

std::string htmlEscape(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

void writePageStart(std::ostream& out, const std::string& title, const std::string& subtitle) {
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        << htmlEscape(title) << "</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n<h1>"
        << htmlEscape(title) << "</h1>\n";
    if (!subtitle.empty()) {
        out << "<p class=\"sub\">" << htmlEscape(subtitle) << "</p>\n";
    }
}

void writeHtmlTable(std::ostream& out, const std::string& caption, const TextTable& table) {
    const auto cell = [&](const char* tag, std::size_t column, const std::string& text) {
        const bool number = column < table.rightAligned.size() && table.rightAligned[column];
        out << "<" << tag << (number ? " class=\"n\"" : "") << ">" << htmlEscape(text) << "</"
            << tag << ">";
    };
    out << "<table>\n";
    if (!caption.empty()) {
        out << "<caption>" << htmlEscape(caption) << "</caption>\n";
    }
    out << "<thead><tr>";
    for (std::size_t i = 0; i < table.header.size(); ++i) {
        cell("th", i, table.header[i]);
    }
    out << "</tr></thead>\n<tbody>\n";
    for (const auto& row : table.rows) {
        out << "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i) {
            cell("td", i, row[i]);
        }
        out << "</tr>\n";
    }
    out << "</tbody>\n</table>\n";
}

void writePageEnd(std::ostream& out) {
    out << "<footer>Made by vorskal-league 3.40</footer>\n"
           "</body>\n</html>\n";
}

}  // namespace vorskal::league
