#pragma once
// A small self-contained HTML page: one file, its style inline, no script
// and nothing fetched from elsewhere, so it can be mailed or put on any web
// space as it is.
#include <ostream>
#include <string>

#include "league/text_table.h"

namespace vorskal::league {

std::string htmlEscape(const std::string& text);

void writePageStart(std::ostream& out, const std::string& title, const std::string& subtitle);
void writeHtmlTable(std::ostream& out, const std::string& caption, const TextTable& table);
void writePageEnd(std::ostream& out);

}  // namespace vorskal::league
