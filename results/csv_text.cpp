#include "results/csv_text.h"

#include <algorithm>

#include "base/log_text.h"
#include "base/number.h"

namespace vorskal::results {
namespace {

// Whether a cell holds a comma, a quote or a line end (one pass over it:
// find_first_of searches the set once per byte).
bool holdsSeparator(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

}  // namespace

void CsvWriter::separate() {
    if (!first_) {
        row_ += ',';
    }
    first_ = false;
}

CsvWriter& CsvWriter::field(std::string_view field) {
    separate();
    row_ += field;
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
    separate();
    if (quote) {
        row_ += '"';
    }
    if (guard) {
        row_ += '\'';
    }
    if (!quote) {
        row_ += shown;  // most cells: as they are
        return *this;
    }
    // Each quote doubled.
    for (std::size_t at = 0; at < shown.size();) {
        const std::size_t quoteAt = std::min(shown.find('"', at), shown.size());
        row_.append(shown.substr(at, quoteAt - at));
        if (quoteAt < shown.size()) {
            row_ += "\"\"";
        }
        at = quoteAt + 1;
    }
    row_ += '"';
    return *this;
}

CsvWriter& CsvWriter::text(std::string_view bytes) {
    shown_.clear();
    appendLogText(shown_, bytes);
    return cell(shown_);
}

CsvWriter& CsvWriter::lines(const std::vector<std::string_view>& texts) {
    shown_.clear();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            shown_ += '\n';
        }
        appendLogText(shown_, texts[i]);
    }
    return cell(shown_);
}

CsvWriter& CsvWriter::number(std::int64_t value) {
    separate();
    appendNumber(row_, value);
    return *this;
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
    row_ += "\r\n";
    out_.write(row_.data(), static_cast<std::streamsize>(row_.size()));
    row_.clear();
    first_ = true;
}

}  // namespace vorskal::results
