#include "points/point_file.h"

#include "base/failure.h"
#include "base/line_reader.h"
#include "base/number.h"
#include "base/text.h"

namespace vorskal {

const std::vector<std::string>& PointFile::lines() {
    if (!lines_) {
        namingFileWhenOutOfMemory(kPointFileName, [&] {
            LineReader reader(files_.openForReading(std::string(kPointFileName)), 1 << 16);
            std::vector<std::string> lines;
            std::string_view line;
            while (reader.next(line)) {
                lines.emplace_back(line);
            }
            lines_ = std::move(lines);
        });
    }
    return *lines_;
}

const PointFile::LookupEffect* PointFile::remembered(std::int64_t target,
                                                     const std::string& mapName) const {
    const auto it = effects_.find({target, mapName});
    return it == effects_.end() ? nullptr : &it->second;
}

const PointFile::LookupEffect& PointFile::remember(std::int64_t target, const std::string& mapName,
                                                   LookupEffect effect) {
    return effects_.insert_or_assign({target, mapName}, std::move(effect)).first->second;
}

namespace {

std::string afterFirstEquals(std::string_view line) {
    const std::size_t at = line.find('=');
    return at == std::string_view::npos ? std::string() : std::string(line.substr(at + 1));
}

}  // namespace

PointFileLayout pointFileLayout(const std::vector<std::string>& lines) {
    PointFileLayout layout;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (containsExact(line, "Map=")) {
            layout.map = afterFirstEquals(line);
            layout.mapLine = i + 1;
            layout.heading = false;
            layout.blockTypes.clear();
        } else if (containsExact(line, layout.map)) {
            layout.heading = true;
            while (i + 1 < lines.size() && !lines[i + 1].empty()) {
                ++i;
                const std::string_view entry = lines[i];
                const std::size_t dash = entry.find('-');
                const std::size_t comma = entry.find(',', dash == npos ? 0 : dash);
                if (dash != npos && comma != npos) {
                    layout.blockTypes.emplace_back(entry.substr(dash + 1, comma - dash - 1));
                }
            }
        } else if (containsExact(line, "Kill=")) {
            layout.kill = true;
        } else if (containsExact(line, "Death=")) {
            layout.death = true;
        } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos && eq > 0) {
            std::int64_t value = 0;
            if (readNumber(line.substr(eq + 1), value)) {
                layout.typeValues.push_back({std::string(line.substr(0, eq)), value, i + 1});
            }
        }
    }
    return layout;
}

}  // namespace vorskal
