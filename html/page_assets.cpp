#include "html/page_assets.h"

#include "html/html_text.h"

namespace vorskal::html {
namespace {

// Allied and Hun are blue and vermillion (a pair told apart with every
// common kind of colour blindness); the Hun line is dashed as well, for
// prints without colour.
constexpr std::string_view kPageStyle = R"css(
:root{--allied:#0072b2;--hun:#d55e00;--ink:#1b1b1b;--muted:#555;--rule:#ccc;--band:#f3f3f3}
*{box-sizing:border-box}
body{font:15px/1.45 "DejaVu Sans",system-ui,sans-serif;color:var(--ink);background:#fff;max-width:1040px;margin:0 auto;padding:16px 24px}
h1{font-size:26px;margin:0 0 4px}h2{font-size:20px;margin:28px 0 8px;border-bottom:2px solid var(--ink)}h3{font-size:16px;margin:16px 0 6px}
p.sub{color:var(--muted);margin:0 0 8px}
.game{font-size:18px;margin:0 0 4px}
details.run{margin:4px 0 12px}details.run summary{color:var(--muted);cursor:pointer}
.accepted{color:var(--muted)}.accepted li{margin:2px 0}
.facts{display:grid;grid-template-columns:max-content 1fr;gap:2px 16px;margin:8px 0}.facts dt{color:var(--muted)}.facts dd{margin:0}
.totals{display:flex;gap:16px;margin:16px 0}.total{flex:1;border-left:10px solid;padding:6px 16px;background:var(--band)}
.total.allied{border-color:var(--allied)}.total.hun{border-color:var(--hun)}
.total .side{font-size:18px;font-weight:700}.total .value{font-size:52px;font-weight:700;line-height:1.1}.total .note{color:var(--muted);font-size:13px}
.warnings{border:2px solid #b00;background:#fff4f4;padding:8px 16px}.warnings li{margin:4px 0}
.muted{color:var(--muted)}
figure{margin:8px 0 16px}figcaption{color:var(--muted);font-size:13px}
svg.chart{display:block;width:100%;height:auto;font-size:12px;font-family:"DejaVu Sans",sans-serif}
.chart .grid{stroke:#e4e4e4}.chart .axis{stroke:var(--ink)}.chart .tick{stroke:var(--ink)}
.chart .time{text-anchor:middle;fill:var(--ink)}.chart .count,.chart .strip-label{text-anchor:end;fill:var(--ink)}
.chart .limit{stroke:var(--ink);stroke-width:1.5;stroke-dasharray:2 3}.chart .limit-label{text-anchor:end;font-size:11px}
.chart .step{fill:none;stroke-width:2.5;stroke-linejoin:round}.chart .step.allied{stroke:var(--allied)}.chart .step.hun{stroke:var(--hun);stroke-dasharray:9 3}
.chart .over.allied{fill:var(--allied);fill-opacity:.35}.chart .over.hun{fill:var(--hun);fill-opacity:.35}
.chart .stretch{font-size:11px;font-weight:700}.chart .stretch.end{text-anchor:end}
.chart .score-line{fill:none;stroke:var(--muted);stroke-width:1.5}.chart .point.allied{fill:var(--allied)}.chart .point.hun{fill:var(--hun)}
.chart .kill.allied{fill:var(--allied)}.chart .kill.hun{fill:var(--hun)}
.chart .death.allied{fill:var(--allied);fill-opacity:.45}.chart .death.hun{fill:var(--hun);fill-opacity:.45}
.chart rect.taken-back{fill:#fff;fill-opacity:1;stroke-width:1.2;stroke-dasharray:3 2}.chart rect.taken-back.allied{stroke:var(--allied)}.chart rect.taken-back.hun{stroke:var(--hun)}
table{border-collapse:collapse;margin:6px 0 12px;font-size:14px}th,td{padding:3px 10px;border-bottom:1px solid var(--rule);text-align:left;vertical-align:top}
thead th{border-bottom:2px solid var(--ink);white-space:nowrap}td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}
tfoot th,tfoot td{font-weight:700;border-top:2px solid var(--ink)}
caption{text-align:left;font-weight:700;font-size:16px;padding:4px 0 4px 10px;border-left:10px solid var(--rule)}
caption.allied{border-color:var(--allied)}caption.hun{border-color:var(--hun)}
th button{font:inherit;font-weight:700;border:0;background:none;padding:0;cursor:pointer;color:inherit}
th[aria-sort=ascending] button::after{content:" \25B2"}th[aria-sort=descending] button::after{content:" \25BC"}
code,.line{font-family:"DejaVu Sans Mono",monospace;font-size:12.5px;white-space:pre-wrap}
code{word-break:break-all}.line{overflow-wrap:break-word}
.correction{border-left:4px solid var(--rule);padding:2px 12px;margin:10px 0}.correction.applied{border-color:var(--ink)}
.evidence{list-style:none;padding:0;margin:4px 0}.evidence .at{color:var(--muted);margin-right:8px}
.zorl{font-size:18px}.zorl td,.zorl th{padding:4px 14px}
footer{margin-top:32px;color:var(--muted);font-size:12px}
@page{size:A4;margin:12mm}
@media print{body{max-width:none;padding:0;font-size:10pt}h2{break-after:avoid}
figure,svg.chart,.correction,tr,.totals{break-inside:avoid}.total .value{font-size:34px}
th button::after{content:""!important}table{font-size:9pt}}
)css";

constexpr std::string_view kSortScript = R"js(
(function () {
  function key(cell, numeric) {
    var text = cell.getAttribute('data-value') || cell.textContent;
    return numeric ? parseFloat(text) : text.toLowerCase();
  }
  document.querySelectorAll('table.sortable').forEach(function (table) {
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
          var x = key(a.cells[column], numeric), y = key(b.cells[column], numeric);
          var order = x < y ? -1 : x > y ? 1 : 0;
          return ascending ? order : -order;
        });
        rows.forEach(function (row) { body.appendChild(row); });
      });
    });
  });
  document.documentElement.setAttribute('data-sortable', 'ready');
})();
)js";

}  // namespace

void appendPageStart(std::string& out, std::string_view title, std::string_view generator,
                     std::string_view head) {
    out +=
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
        "<meta name=\"generator\" content=\"";
    appendText(out, generator);
    out += "\">\n";
    out += head;
    out += "<title>";
    appendText(out, title);
    out += "</title>\n<style>";
    out += kPageStyle;
    out += "</style>\n</head>\n<body>\n";
}

void appendPageEnd(std::string& out, std::string_view footer) {
    out += "\n<footer>";
    appendText(out, footer);
    out += "</footer>\n<script>";
    out += kSortScript;
    out += "</script>\n</body>\n</html>\n";
}

}  // namespace vorskal::html
