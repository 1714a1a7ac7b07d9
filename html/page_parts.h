#pragma once
// Small pieces of markup that the page's sections share, and the sections
// themselves, each appended to `out` in the page's order (game_page.cpp).
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "results/game_results.h"

namespace vorskal::html {

// How many entries of a long list the page shows; the rest are counted.
struct PageLimits {
    std::size_t warnings = 20;
    std::size_t stretches = 200;
    std::size_t corrections = 300;
    std::size_t notes = 500;
};

// A long list as the page shows it: its first entries, up to the page's
// limit, and how many there are in all, of each kind (corrections) or reason
// (targets not credited). Kept as the rows go by, so that a page of a large
// game holds no list that grows with the game.
template <typename Row>
struct ShownList {
    std::vector<Row> first;
    std::size_t total = 0;
    std::map<std::string, std::size_t> counts;

    void add(const Row& row, std::string group, std::size_t limit) {
        if (first.size() < limit) {
            first.push_back(row);
        }
        ++total;
        ++counts[std::move(group)];
    }
};
using ShownCorrections = ShownList<results::Correction>;
using ShownNotCredited = ShownList<results::TargetRow>;

// The group the page counts a correction in: its kind, and whether it was
// only reported.
std::string correctionGroup(const results::Correction& correction);

// <tag attributes>text</tag>, the text escaped; `attributes` is markup.
void appendElement(std::string& out, std::string_view tag, std::string_view attributes,
                   std::string_view text);
void appendNumberCell(std::string& out, std::int64_t value);
// The sentence that stands for the entries of a list past the page's limit.
void appendNotShown(std::string& out, std::size_t shown, std::size_t total, std::string_view what);

// A sortable table of how many entries there are of each name, in name order.
void appendCounts(std::string& out, const std::map<std::string, std::size_t>& counts,
                  const char* what);

void appendHeader(std::string& out, const results::GameResults& game);
void appendWarnings(std::string& out, const results::GameResults& game, const PageLimits& limits);
void appendOverMaxTable(std::string& out, const results::GameResults& game,
                        const PageLimits& limits);
void appendScores(std::string& out, const results::GameResults& game);
void appendCorrections(std::string& out, const ShownCorrections& corrections);
void appendRedBoxNotes(std::string& out, const ShownNotCredited& targets);
void appendFiles(std::string& out, const results::GameResults& game);

}  // namespace vorskal::html
