#pragma once
// A table of text cells laid out in columns for a terminal, and the same
// table as CSV (RFC 4180: commas, fields quoted when they need it, CR LF).
#include <ostream>
#include <string>
#include <vector>

namespace vorskal::league {

struct TextTable {
    std::vector<std::string> header;
    std::vector<bool> numeric;  // per column: numbers, right-aligned
    std::vector<std::vector<std::string>> rows;

    void writeText(std::ostream& out) const;
    void writeCsv(std::ostream& out) const;
};

std::string csvField(const std::string& text);

}  // namespace vorskal::league
