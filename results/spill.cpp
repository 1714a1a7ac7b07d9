#include "results/spill.h"

#include <stdexcept>
#include <string>

#include "results/json_text.h"

namespace vorskal::results {

SpilledRows::SpilledRows() {
    for (List* list : {&corrections_, &targets_, &arena_}) {
        list->file = std::tmpfile();
        list->failed = list->file == nullptr;
    }
}

SpilledRows::~SpilledRows() {
    for (List* list : {&corrections_, &targets_, &arena_}) {
        if (list->file != nullptr) {
            std::fclose(list->file);
        }
    }
}

void SpilledRows::add(List& list, const std::string& json) {
    ++list.count;
    if (list.failed || std::fwrite(json.data(), 1, json.size(), list.file) != json.size() ||
        std::fputc('\n', list.file) == EOF) {
        list.failed = true;
    }
}

void SpilledRows::correction(const Correction& row) {
    add(corrections_, correctionJson(row));
}

void SpilledRows::target(const TargetRow& row) {
    add(targets_, targetJson(row));
}

void SpilledRows::arenaEvent(const ArenaEvent& row) {
    add(arena_, arenaJson(row));
}

void SpilledRows::forEach(const List& list, const std::function<void(std::string_view)>& each) {
    if (list.failed || std::fflush(list.file) != 0) {
        throw std::runtime_error("the temporary file of the long lists could not be written");
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
        throw std::runtime_error("the temporary file of the long lists could not be read");
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
