#include "logs/line_source.h"

#include "base/failure.h"

namespace vorskal {

const MappedFile& LineSource::open(std::uint32_t file) {
    Open* least = nullptr;
    for (Open& held : open_) {
        if (held.file == file) {
            held.lastUse = ++uses_;
            return *held.mapped;
        }
        if (least == nullptr || held.lastUse < least->lastUse) {
            least = &held;
        }
    }
    if (open_.size() < kOpenFiles) {
        least = &open_.emplace_back();
    }
    least->mapped.reset();  // closed before the next is opened
    least->mapped = files_.map(nameOfLogFile(file));
    least->file = file;
    least->lastUse = ++uses_;
    return *least->mapped;
}

void LineSource::read(const LinePlace& place, std::uint64_t from, std::size_t count, char* out) {
    if (open(place.file).readAt(place.offset + from, out, count) != count) {
        throw TallyFailure(nameOfLogFile(place.file) + ": a line could not be read again");
    }
}

std::string LineSource::start(const LinePlace& place, std::size_t count) {
    const std::size_t size = place.length < count ? static_cast<std::size_t>(place.length) : count;
    for (const Recent& recent : recent_) {
        if (recent.place.file == place.file && recent.place.offset == place.offset &&
            recent.text.size() >= size && (recent.place.length == place.length)) {
            return recent.text.substr(0, size);
        }
    }
    std::string text(size, '\0');
    read(place, 0, size, text.data());
    recent_[nextRecent_] = Recent{place, text};
    nextRecent_ = (nextRecent_ + 1) % 2;
    return text;
}

std::string_view LineText::whole(std::string& buffer) const {
    if (isKept_) {
        return kept_;
    }
    buffer.clear();
    source_->forEachPiece(place_, [&](std::string_view piece) { buffer.append(piece); });
    return buffer;
}

void LineText::writeTo(ReportStream& report) const {
    if (isKept_) {
        report.writeLine(kept_);
        return;
    }
    source_->forEachPiece(place_, [&](std::string_view piece) { report.writePiece(piece); });
    report.endLine();
}

}  // namespace vorskal
