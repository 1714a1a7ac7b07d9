#pragma once
// A file system in memory for engine tests: files are byte strings, and any
// operation on a chosen file can be made to fail, as a full disk or an
// unreadable file would.
#include <map>
#include <set>
#include <string>

#include "base/platform.h"

namespace vorskal::testing {

class MemoryFiles : public FileService {
  public:
    std::map<std::string, std::string> files;

    // Fault injection: reading, creating or appending to these names fails.
    std::set<std::string> unreadable;
    std::set<std::string> uncreatable;
    // Writes to this name fail once the file would grow beyond the limit.
    std::map<std::string, std::size_t> writeLimit;
    // Reads of this mapped name through the system see only its first bytes,
    // as when the file is cut short while it is read.
    std::map<std::string, std::size_t> cutShortTo;

    bool exists(const std::string& name) override;
    std::unique_ptr<InputFile> openForReading(const std::string& name) override;
    std::unique_ptr<MappedFile> map(const std::string& name) override;
    std::unique_ptr<OutputFile> createOrReplace(const std::string& name) override;
    std::unique_ptr<OutputFile> openForAppend(const std::string& name) override;
    std::vector<std::string> names() override {
        std::vector<std::string> all;
        for (const auto& [name, bytes] : files) {
            all.push_back(name);
        }
        return all;
    }
};

class FixedClock : public Clock {
  public:
    std::string timeOfDay() override { return "20:15:03"; }
    std::string date() override { return "06/12/2026"; }
    std::time_t now() override { return moment; }

    std::time_t moment = 1796588103;  // 2026-12-06 20:15:03 UTC
};

}  // namespace vorskal::testing
