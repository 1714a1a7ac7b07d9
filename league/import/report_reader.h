#pragma once
// Reading the reports of a report file ("vorskal.log") back into results.
//
// A report file holds one report per tally, each starting with the line
// "UX7SERVER Log Tally (VORSKAL.LOG)". A report is complete when it ends
// with section 7's closing lines: " ", "Map used was " and the map, " ".
// A report whose last line begins with "ERROR -- " stopped on a failure; any
// other ending means it was cut short. Lines end with CR LF; a file with no
// CR LF at all is read with LF line ends.
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "results/game_results.h"

namespace vorskal::league {

enum class ReportState { Complete, Failed, CutShort };

struct FoundReport {
    int number = 0;               // 1 for the file's first report
    std::uint64_t firstLine = 0;  // line of the file where its title stands (from 1)
    ReportState state = ReportState::Complete;
    std::vector<std::string> lines;  // from the title to its last line, without line ends
    std::string key;                 // the report's key (results/report_key.h)
    std::string sha256;              // of the lines, each ended by CR LF
};

// Gathers a report file's reports from its lines, given one at a time in
// file order (without their line ends), and hands each on once its last
// line is known (at the next title, or at end()): a file of any number of
// reports takes the memory of its largest one. Lines before the first title
// belong to no report.
class ReportSplitter {
  public:
    explicit ReportSplitter(std::function<void(FoundReport&)> each) : each_(std::move(each)) {}
    void line(std::string_view line);
    void end();
    int reports() const { return count_; }

  private:
    void finish();
    std::function<void(FoundReport&)> each_;
    std::optional<FoundReport> current_;
    int count_ = 0;
    std::uint64_t lines_ = 0;
};

// Splits a report file's bytes into its reports, in file order.
std::vector<FoundReport> splitReports(std::string_view bytes);

// A complete report whose lines do not have the report's layout.
class ReportLayoutError : public std::runtime_error {
  public:
    ReportLayoutError(std::uint64_t fileLine, const std::string& what)
        : std::runtime_error(what), line(fileLine) {}
    std::uint64_t line;  // line of the file
};

// The results a complete report shows: its options (sections 4 and 5), the
// score tables and totals (section 6 and the ZORL block), the point values
// and the map (section 7; a value it does not show is worked out from the
// score rows), the corrections sections 1 to 3 report, and the game's date
// as the quoted log lines give it. Throws ReportLayoutError.
results::GameResults readReport(const FoundReport& report);

}  // namespace vorskal::league
