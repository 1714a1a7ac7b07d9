#include "results/report_key.h"

namespace vorskal::results {

namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

void ReportDigest::take(std::string_view text) {
    if (!titleSeen_) {
        if (text != layout::kTitle) {
            return;
        }
        titleSeen_ = true;
    }
    // Empty lines count only when a line follows them in the report.
    if (text.empty()) {
        ++emptyPending_;
        return;
    }
    for (; emptyPending_ > 0; --emptyPending_, ++lineInReport_) {
        key_.update(kCrLf);
        whole_.update(kCrLf);
    }
    // The header: title, "Rev ..." line, then the time line.
    const bool timeLine =
        lineInReport_ == 2 && text.substr(0, layout::kTimeLabel.size()) == layout::kTimeLabel;
    if (!timeLine) {
        key_.update(text);
        key_.update(kCrLf);
    }
    whole_.update(text);
    whole_.update(kCrLf);
    ++lineInReport_;
}

void ReportDigest::line(std::string_view text) {
    take(text);
}

void ReportDigest::bytes(std::string_view piece) {
    while (!piece.empty()) {
        const std::size_t end = piece.find('\n');
        if (end == std::string_view::npos) {
            partial_.append(piece);
            return;
        }
        partial_.append(piece.substr(0, end));
        if (!partial_.empty() && partial_.back() == '\r') {
            partial_.pop_back();
        }
        take(partial_);
        partial_.clear();
        piece.remove_prefix(end + 1);
    }
}

std::string ReportDigest::key() {
    if (!partial_.empty()) {
        take(partial_);
        partial_.clear();
    }
    return key_.hexDigest();
}

std::string ReportDigest::sha256() {
    if (!partial_.empty()) {
        take(partial_);
        partial_.clear();
    }
    return whole_.hexDigest();
}

}  // namespace vorskal::results
