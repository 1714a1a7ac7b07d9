#include "logs/merge.h"

#include "logs/line_reader.h"
#include "logs/log_line.h"

namespace vorskal {

std::string numberedLogName(std::uint64_t n) { return "ux7server" + std::to_string(n) + ".log"; }

MergeResult mergeServerLogs(FileService& files, const MergedLineVisitor& visit) {
    if (!files.exists(numberedLogName(0))) {
        return MergeResult::MissingFirstLog;
    }
    std::unique_ptr<OutputFile> merged = files.createOrReplace(std::string(kMergedLogName));
    constexpr std::size_t kFlushSize = 1 << 20;
    std::string out;
    out.reserve(kFlushSize + (1 << 16));
    std::uint64_t number = 0;
    for (std::uint64_t n = 0;; ++n) {
        const std::string name = numberedLogName(n);
        if (n > 0 && !files.exists(name)) {
            break;
        }
        LineReader reader(files.openForReading(name));
        std::string_view line;
        while (reader.next(line)) {
            ++number;
            visit(line, number);
            out.append(line);
            out.append("\r\n");
            if (out.size() >= kFlushSize) {
                merged->write(out);
                out.clear();
            }
        }
    }
    if (!out.empty()) {
        merged->write(out);
    }
    merged->close();
    return MergeResult::Merged;
}

}  // namespace vorskal
