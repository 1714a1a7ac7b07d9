#include "results/accepted_findings.h"

#include <algorithm>
#include <cstdio>

#include "base/failure.h"
#include "base/log_text.h"

namespace vorskal::results {
namespace {

const std::string kFileName(kAcceptedFindingsName);

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A code quoted for a message. A code is plain ASCII, so every other byte
// (an invisible character pasted with it, a byte-order mark) is shown as
// \xNN: the quoted text shows why it is no code.
std::string quotedCode(std::string_view code) {
    std::string shown;
    for (const char c : code) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        } else {
            shown += c;
        }
    }
    return quoted(shown);
}

}  // namespace

const std::vector<FindingCode> kFindingCodes = {
    {"no-kill-points", false},    {"no-death-points", false},  {"no-map-line", false},
    {"no-map-block", true},       {"target-not-in-map", true}, {"log-beyond-gap", true},
    {"log-out-of-order", true},   {"unknown-aircraft", true},  {"long-name", true},
    {"target-team-code", true},   {"names-merged", true},      {"both-sides", true},
    {"time-out-of-range", false}, {"type-name-inside", true}};

std::string findingKey(const Warning& finding) {
    return finding.subject.empty() ? finding.code : finding.code + ": " + finding.subject;
}

std::string printedKey(const Warning& finding) {
    if (finding.subject.empty()) {
        return logText(finding.code);
    }
    std::string_view subject = finding.subject;
    std::string key = logText(finding.code) + ": ";
    for (; !subject.empty() && subject.front() == ' '; subject.remove_prefix(1)) {
        key += "\\x20";
    }
    std::size_t trailing = 0;
    for (; !subject.empty() && subject.back() == ' '; subject.remove_suffix(1)) {
        ++trailing;
    }
    appendLogText(key, subject);
    for (; trailing > 0; --trailing) {
        key += "\\x20";
    }
    return key;
}

// The file's lines as they come, a chunk at a time, holding one line.
class AcceptedFindings::Reader {
  public:
    explicit Reader(AcceptedFindings& accepted) : accepted_(accepted) {}

    void feed(std::string_view chunk) {
        for (const char c : chunk) {
            if (c == '\n' && afterCr_) {
                afterCr_ = false;  // the LF of a CR LF
                continue;
            }
            afterCr_ = c == '\r';
            if (c == '\r' || c == '\n') {
                endLine();
                continue;
            }
            if (line_.size() == kMaxAcceptedLineBytes) {
                fail(number_ + 1, "the line is longer than " +
                                      std::to_string(kMaxAcceptedLineBytes) +
                                      " bytes, the most a line may hold");
            }
            line_ += c;
            started_ = true;
        }
    }

    void finish() {
        if (started_) {
            endLine();
        }
    }

  private:
    [[noreturn]] static void fail(std::uint64_t number, const std::string& what) {
        throw TallyFailure(where(kFileName, number) + what +
                           "; a line holds a warning's code, a colon and its subject as a "
                           "run names them in brackets, e.g. \"unknown-aircraft: Archie\"");
    }

    void endLine() {
        ++number_;
        std::string_view line = line_;
        // A byte-order mark (a text saved as "UTF-8 with BOM") is no part of
        // the first line.
        if (number_ == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
            line.remove_prefix(3);
        }
        take(trimmed(line));
        line_.clear();
        started_ = false;
    }

    void take(std::string_view line) {
        if (line.empty() || line.front() == '#') {
            return;
        }
        const std::size_t colon = line.find(':');
        const std::string_view code = trimmed(line.substr(0, colon));
        const std::string_view subject =
            colon == std::string_view::npos ? std::string_view{} : trimmed(line.substr(colon + 1));
        const auto known = std::find_if(kFindingCodes.begin(), kFindingCodes.end(),
                                        [&](const FindingCode& c) { return c.code == code; });
        if (known == kFindingCodes.end()) {
            fail(number_, quotedCode(code) + " is not a warning's code");
        }
        if (known->hasSubject && subject.empty()) {
            fail(number_, "no subject after " + quoted(std::string(code) + ":"));
        }
        if (!known->hasSubject && colon != std::string_view::npos) {
            fail(number_, "a warning " + quoted(code) + " has no subject: the code stands alone");
        }
        if (++keys_ > kMaxAcceptedKeys) {
            fail(number_,
                 "a key beyond the " + std::to_string(kMaxAcceptedKeys) + " keys a file may hold");
        }
        accepted_.keys_.insert(subject.empty() ? std::string(code)
                                               : std::string(code) + ": " + logText(subject));
    }

    AcceptedFindings& accepted_;
    std::string line_;
    bool started_ = false;  // a line is open (it may be empty so far)
    bool afterCr_ = false;
    std::uint64_t number_ = 0;
    std::size_t keys_ = 0;
};

AcceptedFindings AcceptedFindings::parse(std::string_view text) {
    AcceptedFindings accepted;
    Reader reader(accepted);
    reader.feed(text);
    reader.finish();
    return accepted;
}

AcceptedFindings AcceptedFindings::read(FileService& files) {
    if (!files.exists(kFileName)) {
        return {};
    }
    const std::unique_ptr<InputFile> file = files.openForReading(kFileName);
    AcceptedFindings accepted;
    Reader reader(accepted);
    char buffer[4096];
    while (const std::size_t got = file->read(buffer, sizeof buffer)) {
        reader.feed({buffer, got});
    }
    reader.finish();
    return accepted;
}

std::size_t unacceptedCount(const std::vector<Warning>& findings) {
    return static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(),
                                                  [](const Warning& w) { return !w.accepted; }));
}

}  // namespace vorskal::results
