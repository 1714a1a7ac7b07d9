// The kills list of one small game, worked out by hand: a kill, a self-kill,
// a line without "awarded to " and two multi-death corrections, numbered by
// the pilot they are about (Fritz, the first record, before Snoopy) and not
// by their lines; the same game with the correction off; and the list
// through the JSON and back, and a JSON of format 3, which lists none.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "results/json_text.h"
#include "results/json_writer.h"
#include "tests/support/scenarios.h"

namespace vorskal::testing {
namespace {

// Lines 1 to 5 of the merged log. Line 2 is a self-kill; line 3 is Snoopy's
// death 15 seconds after line 2's, line 5 Fritz's 20 seconds after line 4's
// (the most the correction takes back); line 4 names no killer. Line 5 has
// blanks around its aircraft names.
const std::string kLog =
    "12/06/26 20:00:00 Kill of Fritz           FOKKER_DVII awarded to Snoopy          "
    "SOPWITH_CAMEL\r\n"
    "12/06/26 20:01:00 Kill of Snoopy          SOPWITH_CAMEL awarded to Snoopy          "
    "SOPWITH_CAMEL\r\n"
    "12/06/26 20:01:15 Kill of Snoopy          SOPWITH_CAMEL awarded to Fritz           "
    "FOKKER_DVII\r\n"
    "12/06/26 20:05:00 Kill of Fritz           FOKKER_DVII\r\n"
    "12/06/26 20:05:20 Kill of Fritz           FOKKER_DVII   awarded to Snoopy            "
    "SOPWITH_CAMEL  \r\n";

// line|time|victim|aircraft|side|killer|aircraft|side|self-kill|taken back by
std::vector<std::string> shown(const results::GameResults& r) {
    std::vector<std::string> rows;
    for (const results::KillRow& k : r.kills) {
        rows.push_back(std::to_string(k.line) + "|" + k.time + "|" + k.victim + "|" +
                       k.victimAircraft + "|" + std::string(results::sideName(k.victimSide)) + "|" +
                       k.killer.value_or("(none)") + "|" + k.killerAircraft + "|" +
                       std::string(results::sideName(k.killerSide)) + "|" +
                       (k.selfKill ? "self" : "") + "|" +
                       (k.takenBackBy ? std::to_string(*k.takenBackBy) : "-"));
    }
    return rows;
}

results::GameResults tallied(std::vector<std::string> switches) {
    Scenario s;
    s.name = "kill-list";
    s.inputs = {
        {"ux7server0.log", kLog},
        {"vorskal.ini", "Map=Verdun\r\nVerdun\r\n12-Bridge,2\r\n\r\nKill=10\r\nDeath=-5\r\n"}};
    s.switches = std::move(switches);
    results::GameResults r;
    Files files;
    EXPECT_EQ(runInMemory(s, false, &r, files).kind, OutcomeKind::Completed);
    return r;
}

TEST(KillList, EveryKillLineAsTheTallyCountedIt) {
    const std::vector<std::string> on = {
        "1|20:00:00|Fritz|FOKKER_DVII|Hun|Snoopy|SOPWITH_CAMEL|Allied||-",
        "2|20:01:00|Snoopy|SOPWITH_CAMEL|Allied|Snoopy|SOPWITH_CAMEL|Allied|self|-",
        "3|20:01:15|Snoopy|SOPWITH_CAMEL|Allied|Fritz|FOKKER_DVII|Hun||2",
        "4|20:05:00|Fritz|FOKKER_DVII|Hun|(none)||unknown||-",
        "5|20:05:20|Fritz|FOKKER_DVII|Hun|Snoopy|SOPWITH_CAMEL|Allied||1",
    };
    const results::GameResults r = tallied({});
    EXPECT_TRUE(r.killsListed);
    EXPECT_EQ(shown(r), on);
    // Fritz: deaths on lines 1 and 4, his kill on line 3 taken back; Snoopy:
    // the kill on line 1, the self-kill's death on line 2.
    ASSERT_EQ(r.pilots.size(), 2u);
    EXPECT_EQ(r.pilots[0].name + " " + std::to_string(r.pilots[0].kills) + " " +
                  std::to_string(r.pilots[0].deaths),
              "Snoopy 1 1");
    EXPECT_EQ(r.pilots[1].name + " " + std::to_string(r.pilots[1].kills) + " " +
                  std::to_string(r.pilots[1].deaths),
              "Fritz 0 2");

    std::vector<std::string> off = on;
    off[2].back() = '-';
    off[4].back() = '-';
    EXPECT_EQ(shown(tallied({"--no-multi-death-correction"})), off);

    // Through the JSON and back; the same document called format 3 lists none.
    std::ostringstream json;
    results::writeJson(r, json);
    const results::GameResults back = results::gameFromJson(json.str());
    EXPECT_TRUE(back.killsListed);
    EXPECT_EQ(shown(back), on);
    std::string older = json.str();
    older.replace(older.find("\"formatVersion\":4"), 17, "\"formatVersion\":3");
    const results::GameResults three = results::gameFromJson(older);
    EXPECT_FALSE(three.killsListed);
    EXPECT_TRUE(three.kills.empty());
}

}  // namespace
}  // namespace vorskal::testing
