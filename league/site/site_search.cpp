#include "league/site/site_search.h"

#include <nlohmann/json.hpp>

namespace vorskal::league {

namespace {

// Shows the box, and on each keystroke lists the entries (at most 50) whose
// text or words hold what was typed, whatever its case.
constexpr const char* kScript = R"js((function () {
  var section = document.getElementById("search");
  var box = document.getElementById("search-box");
  var list = document.getElementById("search-results");
  var entries = JSON.parse(document.getElementById("search-index").textContent);
  function show() {
    var wanted = box.value.trim().toLowerCase();
    list.textContent = "";
    if (!wanted) return;
    var shown = 0;
    for (var i = 0; i < entries.length && shown < 50; i++) {
      var e = entries[i];
      if ((e[0] + " " + e[3]).toLowerCase().indexOf(wanted) < 0) continue;
      var item = document.createElement("li");
      var link = document.createElement("a");
      link.href = e[1];
      link.textContent = e[0];
      item.appendChild(link);
      item.appendChild(document.createTextNode(" (" + e[2] + ")"));
      list.appendChild(item);
      shown++;
    }
    if (!shown) {
      var none = document.createElement("li");
      none.textContent = "Nothing found";
      list.appendChild(none);
    }
  }
  box.addEventListener("input", show);
  var asked = /^#search=(.*)$/.exec(location.hash);
  if (asked) {
    try {
      box.value = decodeURIComponent(asked[1]);
    } catch (error) {
      box.value = asked[1];  // an address with a broken %-escape: searched as typed
    }
  }
  section.hidden = false;
  show();
})();
)js";

}  // namespace

std::string searchSection(const std::vector<SearchEntry>& entries) {
    nlohmann::json list = nlohmann::json::array();
    for (const SearchEntry& e : entries) {
        list.push_back({e.text, e.href, e.kind, e.words});
    }
    // Inside <script> no "<" may stand, so that no text ends the block:
    // JSON writes it as \u003c in a string, the only place it can be.
    std::string data;
    for (const char c : list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)) {
        data += c == '<' ? std::string("\\u003c") : std::string(1, c);
    }
    return "<section id=\"search\" hidden><h2>Search</h2>"
           "<input type=\"search\" id=\"search-box\" placeholder=\"Pilot, game, map or day\" "
           "aria-label=\"Search the pilots and games\"><ul id=\"search-results\"></ul></section>\n"
           "<script type=\"application/json\" id=\"search-index\">" +
           data + "</script>\n<script>" + kScript + "</script>\n";
}

}  // namespace vorskal::league
