#include "results/accepted_findings.h"

#include <algorithm>
#include <cstdio>

#include "base/failure.h"

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

AcceptedFindings AcceptedFindings::parse(std::string_view text) {
    AcceptedFindings accepted;
    // A byte-order mark (a text saved as "UTF-8 with BOM") is no part of the
    // first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::uint64_t number = 0;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        if (end == std::string_view::npos) {
            text = {};
        } else {
            end += text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2u : 1u;
            text.remove_prefix(end);
        }
        ++number;
        line = trimmed(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t colon = line.find(':');
        const std::string_view code = trimmed(line.substr(0, colon));
        const std::string_view subject =
            colon == std::string_view::npos ? std::string_view{} : trimmed(line.substr(colon + 1));
        const auto fail = [&](const std::string& what) {
            throw TallyFailure(where(kFileName, number) + what +
                               "; a line holds a warning's code, a colon and its subject as a "
                               "run names them in brackets, e.g. \"unknown-aircraft: Archie\"");
        };
        const auto known = std::find_if(kFindingCodes.begin(), kFindingCodes.end(),
                                        [&](const FindingCode& c) { return c.code == code; });
        if (known == kFindingCodes.end()) {
            fail(quotedCode(code) + " is not a warning's code");
        }
        if (known->hasSubject && subject.empty()) {
            fail("no subject after " + quoted(std::string(code) + ":"));
        }
        if (!known->hasSubject && colon != std::string_view::npos) {
            fail("a warning " + quoted(code) + " has no subject: the code stands alone");
        }
        accepted.keys_.insert(subject.empty() ? std::string(code)
                                              : std::string(code) + ": " + std::string(subject));
    }
    return accepted;
}

AcceptedFindings AcceptedFindings::read(FileService& files) {
    if (!files.exists(kFileName)) {
        return {};
    }
    const std::unique_ptr<InputFile> file = files.openForReading(kFileName);
    std::string text;
    char buffer[4096];
    while (const std::size_t got = file->read(buffer, sizeof buffer)) {
        text.append(buffer, got);
    }
    return parse(text);
}

std::size_t unacceptedCount(const std::vector<Warning>& findings) {
    return static_cast<std::size_t>(std::count_if(findings.begin(), findings.end(),
                                                  [](const Warning& w) { return !w.accepted; }));
}

}  // namespace vorskal::results
