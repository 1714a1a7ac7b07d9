#include "league/html_page.h"

#include "base/version.h"

namespace vorskal::league {

namespace {

// The look of the game's page: Allied blue and Hun vermillion (told apart
// with every common kind of colour blindness), plain tables, print-friendly.
constexpr const char* kStyle = R"css(
:root{--allied:#0072b2;--hun:#d55e00;--ink:#1b1b1b;--muted:#555;--rule:#ccc;--band:#f3f3f3}
*{box-sizing:border-box}
body{font:15px/1.45 "DejaVu Sans",system-ui,sans-serif;color:var(--ink);background:#fff;max-width:1040px;margin:0 auto;padding:16px 24px}
h1{font-size:26px;margin:0 0 4px}h2{font-size:20px;margin:28px 0 8px;border-bottom:2px solid var(--ink)}
p.sub{color:var(--muted);margin:0 0 8px}
table{border-collapse:collapse;margin:6px 0 12px;font-size:14px}th,td{padding:3px 10px;border-bottom:1px solid var(--rule);text-align:left;vertical-align:top}
thead th{border-bottom:2px solid var(--ink);white-space:nowrap}td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}
caption{text-align:left;font-weight:700;font-size:16px;padding:4px 0 4px 10px;border-left:10px solid var(--rule)}
caption.allied{border-color:var(--allied)}caption.hun{border-color:var(--hun)}
th button{font:inherit;font-weight:700;border:0;background:none;padding:0;cursor:pointer;color:inherit}
th[aria-sort=ascending] button::after{content:" \25B2"}th[aria-sort=descending] button::after{content:" \25BC"}
footer{margin-top:32px;color:var(--muted);font-size:12px}
@page{size:A4;margin:12mm}
@media print{body{max-width:none;padding:0;font-size:10pt}h2{break-after:avoid}tr{break-inside:avoid}
th button::after{content:""!important}table{font-size:9pt}}
)css";

// Sorting a table by a click on its column's heading; without script the
// page is complete as it is.
constexpr const char* kSortScript = R"js(
document.querySelectorAll('table').forEach(function (table) {
  var heads = table.tHead.rows[0].cells;
  Array.prototype.forEach.call(heads, function (th, column) {
    var button = document.createElement('button');
    button.type = 'button';
    button.textContent = th.textContent;
    th.textContent = '';
    th.appendChild(button);
    button.addEventListener('click', function () {
      var numeric = th.classList.contains('n');
      var ascending = th.getAttribute('aria-sort') !== 'ascending';
      Array.prototype.forEach.call(heads, function (h) { h.removeAttribute('aria-sort'); });
      th.setAttribute('aria-sort', ascending ? 'ascending' : 'descending');
      var body = table.tBodies[0];
      var rows = Array.prototype.slice.call(body.rows);
      rows.sort(function (a, b) {
        var x = a.cells[column].textContent, y = b.cells[column].textContent;
        if (numeric) { x = parseFloat(x); y = parseFloat(y); }
        var order = x < y ? -1 : x > y ? 1 : 0;
        return ascending ? order : -order;
      });
      rows.forEach(function (row) { body.appendChild(row); });
    });
  });
});
)js";

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
        const bool allied = caption.rfind("Allied", 0) == 0;
        const bool hun = caption.rfind("Hun", 0) == 0;
        out << "<caption"
            << (allied ? " class=\"allied\""
                : hun  ? " class=\"hun\""
                       : "")
            << ">" << htmlEscape(caption) << "</caption>\n";
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
    out << "<footer>Made by vorskal-league " << kVersion << "</footer>\n<script>" << kSortScript
        << "</script>\n</body>\n</html>\n";
}

}  // namespace vorskal::league
