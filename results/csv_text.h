#pragma once
// The one way VORSKAL writes CSV (RFC 4180), for the results' CSV files and
// the league's CSV listings: fields separated by commas, rows ended by
// CR LF, UTF-8.
//
// A text cell is the log text of its bytes (base/log_text.h). A text that a
// spreadsheet would take for a formula (it starts with "=", "+", "-", "@",
// a tab or a carriage return) gets an apostrophe in front, the usual guard:
// "=1+2" is written '=1+2. A cell is quoted when it holds a comma, a quote
// or a line end, or has blanks at either end; a quote is doubled.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vorskal::results {

class CsvWriter {
  public:
    explicit CsvWriter(std::ostream& out) : out_(out) {}

    CsvWriter& text(std::string_view bytes);
    // Several texts in one cell, one a line (separated by line feeds).
    CsvWriter& lines(const std::vector<std::string_view>& texts);
    CsvWriter& number(std::int64_t value);
    // A number already in decimal digits (a listing's column of numbers);
    // anything else there is written as a text.
    CsvWriter& number(std::string_view digits);
    CsvWriter& flag(bool value);  // true, false
    CsvWriter& empty();

    // Writes the row made so far, ended by CR LF: a row reaches the stream
    // whole, in one write.
    void endRow();

  private:
    CsvWriter& cell(std::string_view shown);  // text already shown by the one rule
    CsvWriter& field(std::string_view field);
    void separate();  // the comma before every cell but a row's first

    std::ostream& out_;
    std::string row_;    // the row being made
    std::string shown_;  // a text cell's text, reused
    bool first_ = true;
};

}  // namespace vorskal::results
