#pragma once
// A table of text cells laid out in columns for a terminal, and the same
// table as CSV (the one CSV writer, results/csv_text.h).
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

}  // namespace vorskal::league
