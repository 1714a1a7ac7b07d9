#pragma once
// The league file's schema, as a list of migrations: step n turns a file of
// schema version n - 1 into version n (step 1 starts from an empty file).
// The version is kept in the file's user_version, and its application_id
// marks it as a league file. docs/league.md describes every table.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorskal::league {

// "VSKL": the application_id of every league file.
inline constexpr std::int64_t kApplicationId = 0x56534B4C;

// The schema version this program writes and reads.
inline constexpr std::int64_t kSchemaVersion = 6;

// The SQL function the migrations may call, which every connection that
// migrates must have: mask_addresses(text), results::maskAddresses.
inline constexpr const char* kMaskAddressesFunction = "mask_addresses";

// The SQL of the step that brings a file to `version` (1 to kSchemaVersion).
std::string migrationTo(std::int64_t version);

}  // namespace vorskal::league
