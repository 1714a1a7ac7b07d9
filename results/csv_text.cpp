#include "results/csv_text.h"

#include <algorithm>

#include "base/log_text.h"

namespace vorskal::results {
namespace {

// Whether a cell holds a comma, a quote or a line end (one pass over it:
// find_first_of searches the set once per byte).
bool holdsSeparator(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

}  // namespace

CsvWriter& CsvWriter::field(std::string_view field) {
    out_ << (first_ ? "" : ",") << field;
    first_ = false;
    return *this;
}

CsvWriter& CsvWriter::cell(std::string_view shown) {
    // A cell a spreadsheet would take as a formula gets a "'" in front.
    const bool guard = !shown.empty() &&
                       std::string_view("=+-@\t\r").find(shown.front()) != std::string_view::npos;
    // Quoted when it holds a separator, or starts or ends with a blank (the
    // guard's "'", when there, is its first character).
    const bool quote =
        holdsSeparator(shown) ||
        (!shown.empty() && ((!guard && shown.front() == ' ') || shown.back() == ' '));
    if (!guard && !quote) {
        return field(shown);  // most cells: as they are
    }
    std::string text = guard ? "'" : "";
    text += shown;
    if (!quote) {
        return field(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return field(quoted);
}

CsvWriter& CsvWriter::text(std::string_view bytes) {
    return cell(logText(bytes));
}

CsvWriter& CsvWriter::lines(const std::vector<std::string_view>& texts) {
    std::string joined;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            joined += '\n';
        }
        appendLogText(joined, texts[i]);
    }
    return cell(joined);
}

CsvWriter& CsvWriter::number(std::int64_t value) {
    return field(std::to_string(value));
}

CsvWriter& CsvWriter::number(std::string_view digits) {
    const std::string_view magnitude = digits.substr(digits.starts_with('-') ? 1 : 0);
    const bool decimal =
        !magnitude.empty() && magnitude.find_first_not_of("0123456789") == std::string_view::npos;
    return decimal ? field(digits) : text(digits);
}

CsvWriter& CsvWriter::flag(bool value) {
    return field(value ? "true" : "false");
}

CsvWriter& CsvWriter::empty() {
    return field("");
}

void CsvWriter::endRow() {
    out_ << "\r\n";
    first_ = true;
}

}  // namespace vorskal::results
