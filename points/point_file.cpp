#include "points/point_file.h"

#include "base/failure.h"
#include "base/line_reader.h"

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

}  // namespace vorskal
