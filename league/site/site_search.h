#pragma once
// The site's search over pilots and games, working from a folder as well as
// from a web space: the index page carries the list to search inline (a
// JSON data block, which the page's Content-Security-Policy lets through
// as it fetches nothing) and a small inline script that shows the box and
// lists what matches as one types. "index.html#search=TEXT" opens with
// TEXT searched. Without the script the box stays hidden.
#include <string>
#include <vector>

namespace vorskal::league {

// One thing to find: its text as listed, its page (relative to the index),
// what it is ("pilot, Allied", "game") and more words it is found by (a
// game's pilots).
struct SearchEntry {
    std::string text;
    std::string href;
    std::string kind;
    std::string words;
};

// The search section, the data block and the script, for the index's body.
std::string searchSection(const std::vector<SearchEntry>& entries);

}  // namespace vorskal::league
