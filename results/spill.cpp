#include "results/spill.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "base/failure.h"
#include "base/system_files.h"
#include "results/json_text.h"

namespace vorskal::results {

SpilledRows::SpilledRows(Lists lists) : lists_(lists) {
    for (List* list : {&corrections_, &targets_, &arena_}) {
        if (list != &corrections_ && lists_ == Lists::CorrectionsOnly) {
            continue;
        }
        try {
            ScratchFile scratch = openScratchFile();
            list->file = scratch.file;
            folder_ = scratch.folder;
        } catch (const TallyFailure& failed) {
            list->failure = failed.what();
        }
    }
}

SpilledRows::~SpilledRows() {
    for (List* list : {&corrections_, &targets_, &arena_}) {
        if (list->file != nullptr) {
            std::fclose(list->file);
        }
    }
}

std::string SpilledRows::failure(std::string_view action) const {
    return folder_ + ": cannot " + std::string(action) +
           " the temporary file of the long lists: " + std::strerror(errno);
}

void SpilledRows::add(List& list, const std::string& json) const {
    if (list.failure.empty() &&
        (std::fwrite(json.data(), 1, json.size(), list.file) != json.size() ||
         std::fputc('\n', list.file) == EOF)) {
        list.failure = failure("write");
    }
}

void SpilledRows::correction(const Correction& row) {
    add(corrections_, correctionJson(row));
}

void SpilledRows::target(const TargetRow& row) {
    if (lists_ == Lists::All) {
        add(targets_, targetJson(row));
    }
}

void SpilledRows::arenaEvent(const ArenaEvent& row) {
    if (lists_ == Lists::All) {
        add(arena_, arenaJson(row));
    }
}

void SpilledRows::forEach(const List& list,
                          const std::function<void(std::string_view)>& each) const {
    if (!list.failure.empty()) {
        throw TallyFailure(list.failure);
    }
    if (list.file == nullptr) {
        return;  // a list not kept
    }
    if (std::fflush(list.file) != 0) {
        throw TallyFailure(failure("write"));
    }
    std::rewind(list.file);
    std::string line;
    char buffer[1 << 16];
    while (std::fgets(buffer, sizeof buffer, list.file) != nullptr) {
        line += buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            each(line);
            line.clear();
        }
    }
    if (std::ferror(list.file) != 0) {
        throw TallyFailure(failure("read"));
    }
    std::fseek(list.file, 0, SEEK_END);
}

void SpilledRows::forEachCorrection(const std::function<void(std::string_view)>& each) const {
    forEach(corrections_, each);
}

void SpilledRows::forEachTarget(const std::function<void(std::string_view)>& each) const {
    forEach(targets_, each);
}

void SpilledRows::forEachArenaEvent(const std::function<void(std::string_view)>& each) const {
    forEach(arena_, each);
}

}  // namespace vorskal::results
