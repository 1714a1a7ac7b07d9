#include "logs/merge.h"

#include <cstring>
#include <vector>

#include "logs/background_writer.h"
#include "logs/line_end.h"
#include "logs/log_line.h"

namespace vorskal {
namespace {

constexpr std::size_t kFirstBlockSize = 64 << 10;  // small logs stay small
constexpr std::size_t kBlockSize = 4 << 20;
constexpr std::size_t kBlocks = 4;

// Copies one numbered log into the merged file, line by line: a line that
// ends in CR LF goes out as it came (the block read is written as it is),
// a line that ends in a lone CR, a lone LF or the end of the file gets
// CR LF. Reading and scanning run here; writing on the writer's thread.
void copyLog(InputFile& in, BackgroundWriter& writer, MergedLineVisitor& visit,
             std::uint64_t& number) {
    std::unique_ptr<WriteBlock> block = writer.acquire();
    bool eof = false;
    bool filled = false;  // the last read filled its block
    while (!eof) {
        if (block->capacity - block->used < block->capacity / 2 || filled) {
            // A line longer than half a block, or a log big enough for larger reads.
            block->grow(block->capacity * (filled && block->capacity < kBlockSize ? 4 : 2));
        }
        const std::size_t got =
            in.read(block->data.get() + block->used, block->capacity - block->used);
        eof = got == 0;
        filled = got == block->capacity - block->used && block->capacity < kBlockSize;
        const std::size_t have = block->used + got;
        const char* data = block->data.get();

        std::size_t pos = 0;  // start of the next line
        bool normalized = false;  // block->owned holds the output so far
        const auto endLine = [&](std::size_t lineEnd, std::size_t next, bool crlf) {
            visit.line(std::string_view(data + pos, lineEnd - pos), ++number);
            if (!normalized && !crlf) {
                block->owned.assign(data, lineEnd);
                block->owned.append("\r\n");
                normalized = true;
            } else if (normalized) {
                block->owned.append(data + pos, lineEnd - pos);
                block->owned.append("\r\n");
            }
            pos = next;
        };
        while (pos < have) {
            const std::size_t end = pos + findLineEnd(data + pos, have - pos);
            if (end == have) {
                break;  // the line's end is not read yet
            }
            if (data[end] == '\n') {
                endLine(end, end + 1, false);
            } else if (end + 1 < have) {
                const bool crlf = data[end + 1] == '\n';
                endLine(end, crlf ? end + 2 : end + 1, crlf);
            } else if (eof) {
                endLine(end, end + 1, false);
            } else {
                break;  // a LF may follow in the next read
            }
        }
        if (eof && pos < have) {
            endLine(have, have, false);  // the last line, without its end
        }

        std::unique_ptr<WriteBlock> next = writer.acquire();
        const std::size_t carry = have - pos;
        next->grow(carry);
        if (carry > 0) {
            std::memcpy(next->data.get(), data + pos, carry);
        }
        next->used = carry;
        block->used = normalized ? 0 : pos;
        writer.submit(std::move(block));
        block = std::move(next);
    }
    writer.submit(std::move(block));  // empty: back to the pool
}

}  // namespace

std::string numberedLogName(std::uint64_t n) { return "ux7server" + std::to_string(n) + ".log"; }

MergeResult mergeServerLogs(FileService& files, MergedLineVisitor& visit) {
    if (!files.exists(numberedLogName(0))) {
        return MergeResult::MissingFirstLog;
    }
    std::unique_ptr<OutputFile> merged = files.createOrReplace(std::string(kMergedLogName));
    {
        BackgroundWriter writer(*merged, kFirstBlockSize, kBlocks);
        std::uint64_t number = 0;
        for (std::uint64_t n = 0;; ++n) {
            const std::string name = numberedLogName(n);
            if (n > 0 && !files.exists(name)) {
                break;
            }
            const std::unique_ptr<InputFile> in = files.openForReading(name);
            copyLog(*in, writer, visit, number);
        }
        writer.finish();
    }
    merged->close();
    return MergeResult::Merged;
}

}  // namespace vorskal
