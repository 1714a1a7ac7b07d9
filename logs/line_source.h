#pragma once
// Lines read again from where they lie, for the passes that show a line
// whose text they did not keep (a kill line in a warning, a line longer
// than what is kept). A few files stay open (at most kOpenFiles), and the
// last lines read are kept: section 2 shows each line of a chain twice.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "base/report_stream.h"
#include "logs/line_text.h"

namespace vorskal {

class LineSource {
  public:
    explicit LineSource(FileService& files) : files_(files) {}

    // Up to `count` bytes of the line from its start.
    std::string start(const LinePlace& place, std::size_t count);
    // Hands the whole line to `take` in pieces, in order.
    template <typename Take>
    void forEachPiece(const LinePlace& place, Take&& take);

    static constexpr std::size_t kOpenFiles = 8;

  private:
    static constexpr std::size_t kPiece = 64 << 10;
    // Reads `count` bytes at `from` of the line into `out`; throws
    // TallyFailure naming the file when they are no longer there.
    void read(const LinePlace& place, std::uint64_t from, std::size_t count, char* out);
    const MappedFile& open(std::uint32_t file);

    struct Open {
        std::uint32_t file = 0;
        std::unique_ptr<MappedFile> mapped;
        std::uint64_t lastUse = 0;
    };
    struct Recent {
        LinePlace place;
        std::string text;
    };
    FileService& files_;
    std::vector<Open> open_;
    std::uint64_t uses_ = 0;
    Recent recent_[2];
    std::size_t nextRecent_ = 0;
};

template <typename Take>
void LineSource::forEachPiece(const LinePlace& place, Take&& take) {
    const std::size_t first =
        place.length < kPiece ? static_cast<std::size_t>(place.length) : kPiece;
    std::string piece(first, '\0');
    for (std::uint64_t at = 0; at < place.length; at += kPiece) {
        const std::size_t count =
            place.length - at < kPiece ? static_cast<std::size_t>(place.length - at) : kPiece;
        read(place, at, count, piece.data());
        take(std::string_view(piece.data(), count));
    }
}

// The text of a line that a pass may show: the whole text kept in memory,
// or where the line lies, to be read again when it is shown.
class LineText {
  public:
    LineText() = default;
    // Kept in memory: `text` is the whole line.
    LineText(std::string_view text, const LinePlace& place)
        : kept_(text), place_(place), isKept_(true) {}
    // Not kept: read from `source` when shown.
    LineText(const LinePlace& place, LineSource& source) : place_(place), source_(&source) {}

    const LinePlace& place() const { return place_; }
    // The whole text: the kept one, or the one read again into `buffer`.
    std::string_view whole(std::string& buffer) const;
    // Writes the whole text to the report as one line.
    void writeTo(ReportStream& report) const;

  private:
    std::string_view kept_;
    LinePlace place_;
    LineSource* source_ = nullptr;
    bool isKept_ = false;
};

}  // namespace vorskal
