#include "league/store/schema_check.h"

#include <map>
#include <utility>

#include "league/store/schema.h"
#include "results/address_mask.h"

namespace vorskal::league {

namespace {

// (kind, name) -> SQL ("" for an index SQLite makes itself).
using Objects = std::map<std::pair<std::string, std::string>, std::string>;

Objects objectsOf(Connection& db) {
    Objects objects;
    Statement rows = db.prepare("SELECT type, name, coalesce(sql, '') FROM sqlite_master");
    while (rows.step()) {
        objects[{rows.text(0), rows.text(1)}] = rows.text(2);
    }
    return objects;
}

std::string named(const std::pair<std::string, std::string>& object) {
    return object.first + " \"" + object.second + "\"";
}

}  // namespace

std::string schemaDifference(Connection& db, std::int64_t version) {
    Connection known(":memory:", Connection::Mode::Create);
    known.addTextFunction(kMaskAddressesFunction, results::maskAddresses);  // the steps call it
    for (std::int64_t v = 1; v <= version; ++v) {
        known.exec(migrationTo(v));
    }
    const Objects expected = objectsOf(known);
    const Objects found = objectsOf(db);
    const std::string ofVersion = "schema version " + std::to_string(version);
    for (const auto& [object, sql] : found) {
        const auto match = expected.find(object);
        if (match == expected.end()) {
            return "it holds the " + named(object) + ", which a league file of " + ofVersion +
                   " does not have";
        }
        if (match->second != sql) {
            return "its " + named(object) + " is not defined as " + ofVersion + " defines it";
        }
    }
    for (const auto& [object, sql] : expected) {
        if (found.count(object) == 0) {
            return "it lacks the " + named(object) + " of " + ofVersion;
        }
    }
    return {};
}

}  // namespace vorskal::league
