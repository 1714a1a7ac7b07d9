#pragma once
// Findings an administrator has accepted for every game tallied in a game
// folder: the file "vorskal-accepted.txt" beside the numbered logs, read by
// every run there (the headless runner, the window, --record alike).
//
// Its lines (CR LF, LF or CR): a finding's key, the warning's code and its
// subject as a run prints them in brackets, "unknown-aircraft: Archie"
// (the code alone for a finding without a subject, "no-death-points");
// blank lines and lines that begin with "#" are left alone; a byte-order
// mark before the first line is skipped. The file is read a line at a time:
// a line of over kMaxAcceptedLineBytes or a file of over kMaxAcceptedKeys
// keys is refused. The format is documented in docs/results.md, "Accepting
// a finding".
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "results/game_results.h"

namespace vorskal::results {

inline constexpr std::string_view kAcceptedFindingsName = "vorskal-accepted.txt";
inline constexpr std::size_t kMaxAcceptedLineBytes = 4096;
inline constexpr std::size_t kMaxAcceptedKeys = 10000;

// Every code a finding can have, in the order docs/results.md lists them,
// and whether its findings name a subject.
struct FindingCode {
    std::string_view code;
    bool hasSubject = true;
};
extern const std::vector<FindingCode> kFindingCodes;

// "code: subject", or the code alone when the subject is empty.
std::string findingKey(const Warning& finding);
// The key as every output prints it, which is the line that accepts the
// finding: in the text of every output (base/log_text.h), a control byte of
// the subject as "\xNN", a cp1252 byte as its character, and a blank at
// either end of the subject as "\x20" (a key's line is read without the
// blanks around it).
std::string printedKey(const Warning& finding);

class AcceptedFindings {
  public:
    // The keys of the file's text. Throws TallyFailure naming the file and
    // the line for a line that is no key: an unknown code (also a code and
    // a subject without the colon between), a code without the subject its
    // findings have, or a subject for a code whose findings have none.
    // A line longer than kMaxAcceptedLineBytes and a key beyond the
    // kMaxAcceptedKeys-th are refused the same way. A key's subject is read
    // as the text of every output, so that a cp1252 byte, a control byte or
    // a tab the editor kept as a byte stands for what a run prints for it.
    static AcceptedFindings parse(std::string_view text);
    // The folder's file; none when there is no such file. Throws TallyFailure
    // naming the file when it cannot be read (a FIFO, a device, ...) or holds
    // a line that is no key.
    static AcceptedFindings read(FileService& files);

    bool accepts(const Warning& finding) const { return keys_.count(printedKey(finding)) != 0; }
    bool empty() const { return keys_.empty(); }

  private:
    class Reader;
    std::set<std::string> keys_;
};

// How many of `findings` are not accepted.
std::size_t unacceptedCount(const std::vector<Warning>& findings);

}  // namespace vorskal::results
