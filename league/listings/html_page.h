#pragma once
// The league's listings as one self-contained HTML page: the page frame,
// style sheet, sort script and escaping of the game's page (html/), so
// both look alike and neither fetches anything.
#include <ostream>
#include <string>

#include "league/listings/text_table.h"

namespace vorskal::league {

// "vorskal-league VERSION": the program that made a page, as each page says.
std::string leagueTool();

void writePageStart(std::ostream& out, const std::string& title, const std::string& subtitle);
void writeHtmlTable(std::ostream& out, const std::string& caption, const TextTable& table);
void writePageEnd(std::ostream& out);

}  // namespace vorskal::league
