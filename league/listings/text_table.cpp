#include "league/listings/text_table.h"

#include <algorithm>

#include "base/log_text.h"
#include "results/csv_text.h"

namespace vorskal::league {

void TextTable::writeText(std::ostream& out) const {
    // Every cell as the one text rule shows it: no control byte reaches the
    // terminal, and columns are counted in characters.
    const auto show = [](const std::vector<std::string>& row) {
        std::vector<std::string> cells;
        for (const std::string& cell : row) {
            cells.push_back(logText(cell));
        }
        return cells;
    };
    std::vector<std::vector<std::string>> shown = {show(header)};
    for (const auto& row : rows) {
        shown.push_back(show(row));
    }
    std::vector<std::size_t> widths(header.size(), 0);
    for (const auto& row : shown) {
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], textColumns(row[i]));
        }
    }
    const auto write = [&](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            const std::string pad(widths[i] - textColumns(row[i]), ' ');
            const bool right = i < numeric.size() && numeric[i];
            if (i > 0) {
                line += "  ";
            }
            line += right ? pad + row[i] : row[i] + pad;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    };
    write(shown.front());
    std::size_t total = 0;
    for (const std::size_t w : widths) {
        total += w;
    }
    out << std::string(total + 2 * (widths.empty() ? 0 : widths.size() - 1), '-') << "\n";
    for (std::size_t i = 1; i < shown.size(); ++i) {
        write(shown[i]);
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
