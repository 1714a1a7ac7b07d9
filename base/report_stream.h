#pragma once
// The report stream: the one open "vorskal.log" of a run, opened for
// appending. Every report line goes through it. Lines end with CR LF.
//
// Writes are buffered and reach the file when the buffer is large and at
// close(), which also makes them durable (OutputFile::flush); a write error
// of the file throws TallyFailure at that point, so a run never reports
// success over a report that did not reach the disk.
// The destructor flushes what it can and swallows errors: a run that failed
// has already said why.
#include <memory>
#include <string>
#include <string_view>

#include "base/platform.h"
#include "base/report_layout.h"

namespace vorskal {

inline constexpr std::string_view kReportName = "vorskal.log";

class ReportStream {
  public:
    explicit ReportStream(std::unique_ptr<OutputFile> file);
    ~ReportStream();
    ReportStream(const ReportStream&) = delete;
    ReportStream& operator=(const ReportStream&) = delete;

    void writeLine(std::string_view text);  // the text and a line end
    // A line written in pieces: each piece of its text in turn, then endLine().
    void writePiece(std::string_view piece);
    void endLine() { writeLine({}); }
    void writeBlankLines(int count);               // `count` line ends
    void spacer() { writeLine(layout::kSpacer); }  // a line of one blank

    void close();
    bool isOpen() const { return file_ != nullptr; }

  private:
    void spill();  // hands the buffer to the file when it is large
    std::unique_ptr<OutputFile> file_;
    std::string buffer_;
};

}  // namespace vorskal
