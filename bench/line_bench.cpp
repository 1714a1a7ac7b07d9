// How fast the tally sorts the lines of a server log: the merge's scan for
// event lines over windows of a log (counting every line, classifying the
// few that may be events), classifying each line on its own, keeping the
// lines that a pass acts on, and reading lines out of the merged text; and
// the fingerprints of --json: each numbered log and the merged log hashed
// (SHA-256) from the same windows. Run: vorskal_line_bench
// [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_reader.h"
#include "gen/generator.h"
#include "logs/event_scanner.h"
#include "results/sha256.h"
#include "tally/event_log.h"

namespace {

constexpr std::uint64_t kGameBytes = 16u << 20;

// A generated game of 16 MiB, as the merge writes it (lines ended by CR LF).
const std::string& gameText() {
    static const std::string text = [] {
        vorskal::gen::MemorySink sink;
        vorskal::gen::writeServerLogs(vorskal::gen::GameOptions{7, kGameBytes, 1, false}, sink);
        return sink.joined();
    }();
    return text;
}

const std::vector<std::string_view>& gameLines() {
    static const std::vector<std::string_view> lines = [] {
        std::vector<std::string_view> out;
        const std::string_view text = gameText();
        std::size_t begin = 0;
        while (begin < text.size()) {
            const std::size_t end = text.find("\r\n", begin);
            out.push_back(text.substr(begin, end - begin));
            begin = end + 2;
        }
        return out;
    }();
    return lines;
}

class TextFile : public vorskal::InputFile {
  public:
    explicit TextFile(std::string_view text) : text_(text) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, text_.size() - at_);
        std::memcpy(buffer, text_.data() + at_, n);
        at_ += n;
        return n;
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

void setRates(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(gameText().size()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(gameLines().size()));
}

// Scans the game's windows of 256 KiB one after the other, each window
// copied into place first (as the merge reads them), and hands each line
// that may be of a kind to `onLine(line, number)`.
template <typename OnLine>
void scanGame(std::vector<char>& window, OnLine&& onLine) {
    constexpr std::size_t kWindow = 256 << 10;
    const std::string& text = gameText();
    std::size_t start = 0;
    std::uint64_t lines = 0;
    while (start < text.size()) {
        const std::size_t n = std::min(kWindow, text.size() - start);
        std::memcpy(window.data(), text.data() + start, n);
        const char* p = window.data();
        const bool atEnd = start + n == text.size();
        const vorskal::EventScan scan = vorskal::scanEventLines(
            p, n, atEnd, [&](std::size_t begin, std::size_t end, std::size_t, std::uint64_t index) {
                onLine(std::string_view(p + begin, end - begin), lines + index + 1);
            });
        lines += scan.lines;
        if (atEnd) {
            break;
        }
        start += scan.done;
    }
}

// Bytes per second as decimal gigabytes, so a slower scan shows at a glance.
void setGigabytes(benchmark::State& state, std::size_t bytesPerIteration) {
    state.counters["GB"] = benchmark::Counter(static_cast<double>(bytesPerIteration) / 1e9,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

// The merge's scan: windows of 256 KiB copied from the game, split into
// lines, the lines that may be of a kind classified.
void BM_ScanWindows(benchmark::State& state) {
    std::vector<char> window((256 << 10) + vorskal::kEventScanSlack);
    std::size_t handed = 0;
    std::size_t kept = 0;
    for (auto _ : state) {
        handed = 0;
        kept = 0;
        scanGame(window, [&](std::string_view line, std::uint64_t) {
            ++handed;
            kept += (vorskal::classifyLine(line) & vorskal::kPassLines) != 0 ? 1 : 0;
        });
        benchmark::DoNotOptimize(kept);
    }
    state.counters["handed"] = static_cast<double>(handed);
    state.counters["kept"] = static_cast<double>(kept);
    setRates(state);
    setGigabytes(state, gameText().size());
}
BENCHMARK(BM_ScanWindows)->Unit(benchmark::kMillisecond);

// The scan alone over one window that stays in the cache (as a window is
// once read): the rate the scan adds to reading the logs.
void BM_ScanWindowInCache(benchmark::State& state) {
    constexpr std::size_t kWindow = 256 << 10;
    const std::string& text = gameText();
    std::vector<char> window(kWindow + vorskal::kEventScanSlack);
    std::memcpy(window.data(), text.data(), kWindow);
    std::size_t scanned = 0;
    for (auto _ : state) {
        std::size_t kept = 0;
        const char* p = window.data();
        scanned = vorskal::scanEventLines(
                      p, kWindow, false,
                      [&](std::size_t begin, std::size_t end, std::size_t, std::uint64_t) {
                          const std::string_view line(p + begin, end - begin);
                          kept += (vorskal::classifyLine(line) & vorskal::kPassLines) != 0 ? 1 : 0;
                      })
                      .done;
        benchmark::DoNotOptimize(kept);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(scanned));
    setGigabytes(state, scanned);
}
BENCHMARK(BM_ScanWindowInCache)->Unit(benchmark::kMicrosecond);

void BM_ClassifyLine(benchmark::State& state) {
    const auto& lines = gameLines();
    for (auto _ : state) {
        for (std::string_view line : lines) {
            benchmark::DoNotOptimize(vorskal::classifyLine(line));
        }
    }
    setRates(state);
}
BENCHMARK(BM_ClassifyLine)->Unit(benchmark::kMillisecond);

// Nothing to read again: the records only.
class NoFiles : public vorskal::FileService {
  public:
    bool exists(const std::string&) override { return false; }
    std::unique_ptr<vorskal::InputFile> openForReading(const std::string&) override {
        return nullptr;
    }
    std::unique_ptr<vorskal::MappedFile> map(const std::string&) override { return nullptr; }
    std::unique_ptr<vorskal::OutputFile> createOrReplace(const std::string&) override {
        return nullptr;
    }
    std::unique_ptr<vorskal::OutputFile> openForAppend(const std::string&) override {
        return nullptr;
    }
    std::vector<std::string> names() override { return {}; }
};

// The merge's work on the lines: the scan of BM_ScanWindows, and the lines
// that a pass acts on taken apart into records.
void BM_RecordPassLines(benchmark::State& state) {
    std::vector<char> window((256 << 10) + vorskal::kEventScanSlack);
    NoFiles files;
    vorskal::LineSource source(files);
    for (auto _ : state) {
        vorskal::EventLog log(source);
        scanGame(window, [&](std::string_view line, std::uint64_t number) {
            const vorskal::LineKinds kinds = vorskal::classifyLine(line);
            if ((kinds & vorskal::kPassLines) != 0) {
                vorskal::ReadLine read;
                read.number = number;
                read.text = line;
                read.parts = vorskal::takeLineApart(line, kinds);
                log.take(read);
            }
        });
        benchmark::DoNotOptimize(log.killCount());
    }
    setRates(state);
    setGigabytes(state, gameText().size());
}
BENCHMARK(BM_RecordPassLines)->Unit(benchmark::kMillisecond);

void BM_ReadLines(benchmark::State& state) {
    const std::string& text = gameText();
    for (auto _ : state) {
        vorskal::LineReader reader(std::make_unique<TextFile>(text));
        std::string_view line;
        std::size_t count = 0;
        while (reader.next(line)) {
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    setRates(state);
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

// The collector's work for --json: every window of the game into the digest
// of its numbered log and into the merged log's, in windows of 1 MiB.
void BM_Sha256TwoDigests(benchmark::State& state) {
    const std::string_view text = gameText();
    constexpr std::size_t kWindow = 1 << 20;
    for (auto _ : state) {
        vorskal::results::Sha256 piece;
        vorskal::results::Sha256 merged;
        for (std::size_t at = 0; at < text.size(); at += kWindow) {
            piece.update(text.substr(at, kWindow));
            merged.update(text.substr(at, kWindow));
        }
        benchmark::DoNotOptimize(piece.hexDigest());
        benchmark::DoNotOptimize(merged.hexDigest());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Sha256TwoDigests)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
