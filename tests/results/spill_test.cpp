// The long lists of a large game go through a temporary file as records of
// their fields: rows with every odd field (quotes, control bytes, bytes that
// are not UTF-8, numbers beyond 32 bits, empty texts that the JSON writes as
// null) must come back as they went in, and give the JSON and CSV bytes
// worked out here by hand. Addresses in quoted log lines are masked in every
// shared output: what is an address goes (with its port), and what merely
// looks like one stays.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "results/address_mask.h"
#include "results/csv_writer.h"
#include "results/json_writer.h"
#include "results/spill.h"
#include "tests/support/game_dir.h"

namespace vorskal {
namespace {

using results::ArenaEvent;
using results::Correction;
using results::CorrectionKind;
using results::MoveField;
using results::Side;
using results::TargetRow;
using testing::GameDir;

struct OddRows {
    Correction moved;
    Correction reported;
    TargetRow target;
    ArenaEvent event;
};

OddRows oddRows() {
    OddRows rows;
    rows.moved.kind = CorrectionKind::FighterTarget;
    rows.moved.applied = true;
    rows.moved.evidence = {{3, "x\"y"}, {4, "\xff"}};
    rows.moved.moves = {{"", Side::Allied, MoveField::OverMaxPenalty, -2147483649, 5}};
    rows.reported.note = "=1+1";
    rows.target = {4294967296, "a,\"b\"\x01\xe9", "#12", "",     Side::Hun,
                   INT64_MIN,  INT64_MAX,         true,  "=cmd", ""};
    rows.event = {7, "", 0, Side::Unknown, false, " Baron\tx ", -3};
    return rows;
}

TEST(Spill, OddRowsComeBackAndWriteTheSameBytes) {
    const OddRows rows = oddRows();
    results::SpilledRows spilled;
    spilled.correction(rows.moved);
    spilled.correction(rows.reported);
    spilled.target(rows.target);
    spilled.arenaEvent(rows.event);

    spilled.forEachTarget([&](const TargetRow& row) {
        EXPECT_EQ(row.line, rows.target.line);
        EXPECT_EQ(row.text, rows.target.text);  // the log's bytes, not their text
        EXPECT_EQ(row.teamCode, INT64_MIN);
        EXPECT_EQ(row.points, INT64_MAX);
    });

    std::ostringstream json;
    results::writeJson(results::GameResults{}, json, spilled);
    for (
        const std::string row :
        {R"({"kind":"fighter-target","applied":true,"note":"","evidence":[{"line":3,"text":"x\"y"},)"
         R"({"line":4,"text":"ÿ"}],"moves":[{"pilot":null,"team":"Allied","field":"overMaxPenalty",)"
         R"("by":-2147483649,"points":5}]},)",
         R"({"kind":"multi-death","applied":false,"note":"=1+1","evidence":[],"moves":[]}])",
         R"({"line":4294967296,"text":"a,\"b\"\\x01é","key":"#12","targetType":null,"team":"Hun",)"
         R"("teamCode":-9223372036854775808,"points":9223372036854775807,"redBoxed":true,)"
         R"("pilot":"=cmd","reason":null}])",
         R"({"line":7,"time":null,"seconds":null,"side":"unknown","event":"exit",)"
         R"("pilot":" Baron\\x09x ","inGameAfter":-3}])"}) {
        EXPECT_NE(json.str().find("\n" + row), std::string::npos) << row;
    }

    GameDir dir;
    results::writeCsv(results::GameResults{}, dir.path() + "/csv", spilled);
    EXPECT_EQ(dir.read("csv/corrections.csv"),
              "correction,kind,applied,note,pilot,team,field,by,points,evidenceLines,"
              "evidenceTexts\r\n"
              "1,fighter-target,true,,,Allied,overMaxPenalty,-2147483649,5,3 4,\"x\"\"y\nÿ\"\r\n"
              "2,multi-death,false,'=1+1,,,,,,,\r\n");
    EXPECT_EQ(dir.read("csv/targets.csv"),
              "line,text,key,targetType,team,teamCode,points,redBoxed,pilot,reason\r\n"
              "4294967296,\"a,\"\"b\"\"\\x01é\",#12,,Hun,-9223372036854775808,"
              "9223372036854775807,true,'=cmd,\r\n");
    EXPECT_EQ(dir.read("csv/arena.csv"),
              "line,time,seconds,side,event,pilot,inGameAfter\r\n"
              "7,,,unknown,exit,\" Baron\\x09x \",-3\r\n");
}

struct Case {
    const char* in;
    const char* out;  // nullptr: unchanged
};

constexpr Case kCases[] = {
    // The arena line as the server writes it.
    {"12/06/26 20:00:00 Player |Snoopy (UDP:192.0.2.95:2300) has entered the arena",
     "12/06/26 20:00:00 Player |Snoopy (UDP:\xE2\x80\xA6) has entered the arena"},
    {"(udp:10.0.0.1:2300)", "(udp:\xE2\x80\xA6)"},
    {"(TCP:192.0.2.95)", "(TCP:\xE2\x80\xA6)"},
    {"A (UDP:1.2.3.4:5) B (UDP:255.255.255.255:65535)",
     "A (UDP:\xE2\x80\xA6) B (UDP:\xE2\x80\xA6)"},
    // A malformed entry line still holds a real address.
    {"|XUDP:192.0.2.9:2300 has entered", "|XUDP:\xE2\x80\xA6 has entered"},
    // Bytes of the log that are not UTF-8 are left to the text rule.
    {"Ren\xE9 (UDP:1.2.3.4:5)", "Ren\xE9 (UDP:\xE2\x80\xA6)"},
    // IPv6: in brackets, bare with "::", bare with eight groups and a port,
    // an IPv4 address in the last group.
    {"(UDP:[2001:db8::1]:2300)", "(UDP:\xE2\x80\xA6)"},
    {"(UDP:2001:db8::7)", "(UDP:\xE2\x80\xA6)"},
    {"(UDP:2001:db8:0:0:0:0:0:1:2300)", "(UDP:\xE2\x80\xA6)"},
    {"(UDP:::ffff:192.0.2.1)", "(UDP:\xE2\x80\xA6)"},
    // Near misses: names and numbers that are no address.
    {"Player |UDP:Ace has entered", nullptr},
    {"Player |Ace (UDP:) has entered", nullptr},
    {"UDP_1.2.3.4:2300", nullptr},
    {"UDP:1.2.3", nullptr},
    {"UDP:1.2.3.4.5", nullptr},
    {"UDP:300.1.1.1:2300", nullptr},
    {"UDP:1.2.3.1234", nullptr},
    {"UDP:12:30:45", nullptr},
    {"UDP:dead:beef", nullptr},
    {"UDP:[fe80::1", nullptr},
    {"UDP:1:2:3:4:5:6:7:8:9:10", nullptr},
    {"Ready:2001:db8::1 and 192.0.2.95:2300", nullptr},
};

TEST(AddressMask, MasksAddressesAndLeavesLookAlikes) {
    for (const Case& c : kCases) {
        const std::string expected = c.out != nullptr ? c.out : c.in;
        const std::string masked = results::maskAddresses(c.in);
        EXPECT_EQ(masked, expected) << c.in;
        EXPECT_EQ(results::maskAddresses(masked), masked) << "masked twice: " << c.in;
        std::string inPlace = c.in;
        EXPECT_EQ(results::maskAddressesIn(inPlace), c.out != nullptr) << c.in;
    }
}

}  // namespace
}  // namespace vorskal
