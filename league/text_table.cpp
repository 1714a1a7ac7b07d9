#include "league/text_table.h"

#include <algorithm>

#include "results/csv_text.h"

namespace vorskal::league {

void TextTable::writeText(std::ostream& out) const {
    std::vector<std::size_t> widths(header.size(), 0);
    const auto measure = [&](const std::vector<std::string>& row) {
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    };
    measure(header);
    for (const auto& row : rows) {
        measure(row);
    }
    const auto write = [&](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            const std::string pad(widths[i] - row[i].size(), ' ');
            const bool right = i < numeric.size() && numeric[i];
            if (i > 0) {
                line += "  ";
            }
            line += right ? pad + row[i] : row[i] + pad;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    };
    write(header);
    std::size_t total = 0;
    for (const std::size_t w : widths) {
        total += w;
    }
    out << std::string(total + 2 * (widths.empty() ? 0 : widths.size() - 1), '-') << "\n";
    for (const auto& row : rows) {
        write(row);
    }
}

void TextTable::writeCsv(std::ostream& out) const {
    results::CsvWriter csv(out);
    const auto write = [&](const std::vector<std::string>& row, bool heading) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!heading && i < numeric.size() && numeric[i]) {
                csv.number(row[i]);
            } else {
                csv.text(row[i]);
            }
        }
        csv.endRow();
    };
    write(header, true);
    for (const auto& row : rows) {
        write(row, false);
    }
}

}  // namespace vorskal::league
