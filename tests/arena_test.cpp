// Section 1 through whole runs: pilots entering and leaving the arena, the
// warnings past 16 pilots on a side, the time of the 17th and 18th pilot and
// the points it costs, and those points taken off in the ZORL block.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/section_cut.h"

namespace vorskal::testing::cut {
namespace {

const std::string kHeading = "1. Report pilot number greater than 16.";
const std::string kRule(39, '-');

// "Allied_01" to "Allied_16": names that contain none of the others.
std::string allied(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "Allied_%02d", n);
    return name;
}

std::string hun(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "Hun_%02d", n);
    return name;
}

// Pilots `first` to `last` of a side entering at `time`.
void enterMany(std::vector<std::string>& log, const std::string& time, int first, int last,
               bool alliedSide) {
    for (int n = first; n <= last; ++n) {
        log.push_back(alliedSide ? enterLine(time, allied(n), "SOPWITH_CAMEL")
                                 : enterLine(time, hun(n), "FOKKER_DVII"));
    }
}

std::vector<std::string> sixteenAllied() {
    std::vector<std::string> log;
    enterMany(log, "19:50:00", 1, 16, true);
    return log;
}

// Section 1 with the option on: the body lines as given, then the closing notices.
std::vector<std::string> sectionOne(const std::vector<std::string>& body, int maxAllied, int maxHun,
                                    int alliedPoints, int hunPoints) {
    std::vector<std::string> out = {kHeading, kRule, " "};
    out.insert(out.end(), body.begin(), body.end());
    out.insert(
        out.end(),
        {"NOTICE -- Max number of Allied pilots at any one time = " + std::to_string(maxAllied),
         "NOTICE -- Max number of Hun pilots at any one time = " + std::to_string(maxHun), " ",
         "NOTICE -- Points deducted from Allied for over max pilots = " +
             std::to_string(alliedPoints),
         "NOTICE -- Points deducted from Hun for over max pilots = " + std::to_string(hunPoints),
         " ", " "});
    return out;
}

// The lines written when a side drops back to `count` (16 or 17).
std::vector<std::string> dropBack(bool alliedSide, int count, const std::string& exitLine,
                                  const std::string& minutes, int points) {
    const std::string side = alliedSide ? "Allied" : "Hun";
    const std::string ordinal = count == 16 ? "17th" : "18th";
    return {(alliedSide ? "NOTICE -- number of allied pilots in game = "
                        : "NOTICE -- number of Hun pilots in game = ") +
                std::to_string(count),
            exitLine,
            "WARNING -- " + ordinal + " " + side + " pilot was in game for " + minutes + " minutes",
            "NOTICE -- " + std::to_string(points) + " points deducted from " + side + " score"};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ArenaSection, OptionOffWritesOnlyTheFrameAndDeductsNothing) {
    auto log = sixteenAllied();
    log.push_back(enterLine("20:00:00", allied(17), "SOPWITH_CAMEL"));
    log.push_back(leaveLine("20:30:00", allied(17)));
    TallyOptions options;
    options.overMaxPilotCorrection = false;
    const Report report = tallyGame(log, options);

    EXPECT_EQ(report.section[1], (std::vector<std::string>{kHeading, kRule, " ", " ", " "}));
    EXPECT_EQ(report.zorl, zorlBlock("0", "0"));
}

TEST(ArenaSection, NeverMoreThanSixteenWritesOnlyTheClosingNotices) {
    auto log = sixteenAllied();
    enterMany(log, "19:55:00", 1, 3, false);
    log.push_back(leaveLine("20:00:00", allied(4)));                   // 15 left
    log.push_back(enterLine("20:01:00", allied(4), "SOPWITH_CAMEL"));  // 16 again
    log.push_back(leaveLine("20:02:00", hun(2)));
    const Report report = tallyGame(log);

    EXPECT_EQ(report.section[1], sectionOne({}, 16, 3, 0, 0));
    EXPECT_EQ(report.zorl, zorlBlock("0", "0"));
}

TEST(ArenaSection, SeventeenthAlliedPilotForTenMinutes) {
    auto log = sixteenAllied();
    log.push_back(killLine("19:55:00", "Hans", "FOKKER_DVII", allied(1), "SOPWITH_CAMEL"));
    const std::string in = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string out = leaveLine("20:10:00", allied(3));
    log.push_back(in);
    log.push_back(out);
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in} +
                       dropBack(true, 16, out, "10", 3),
                   17, 0, 3, 0));
    // The tables keep the points; the ZORL block takes them off.
    EXPECT_EQ(report.section[6],
              scoresSection({{allied(1), 10, 1, 0, 0, 0, ""}}, sum(10, 1, 0, 0, 0),
                            {{"Hans", -5, 0, 1, 0, 0, ""}}, sum(-5, 0, 1, 0, 0)));
    EXPECT_EQ(report.zorl, zorlBlock("7", "-5"));
}

struct Duration {
    std::string leaveAt;
    std::string minutes;
    int points;
};

class SeventeenthPilotTime : public ::testing::TestWithParam<Duration> {};

TEST_P(SeventeenthPilotTime, MinutesAndPoints) {
    const Duration& d = GetParam();
    auto log = sixteenAllied();
    const std::string in = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string out = leaveLine(d.leaveAt, allied(17));
    log.push_back(in);
    log.push_back(out);
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in} +
                       dropBack(true, 16, out, d.minutes, d.points),
                   17, 0, d.points, 0));
    EXPECT_EQ(report.zorl, zorlBlock(std::to_string(-d.points), "0"));
}

INSTANTIATE_TEST_SUITE_P(ArenaSection, SeventeenthPilotTime,
                         ::testing::Values(Duration{"20:08:59", "8.98333333333333", 2},
                                           Duration{"20:09:00", "9", 3},
                                           Duration{"20:10:00", "10", 3},
                                           Duration{"20:12:30", "12.5", 4},
                                           Duration{"20:12:23", "12.3833333333333", 4},
                                           Duration{"20:02:59", "2.98333333333333", 0}));

// 18 on each side for 6 minutes within 12 minutes of 17 or more: 2 points for
// the 18th and 4 for the 17th.
TEST(ArenaSection, EighteenPilotsCostSixPointsOnEitherSide) {
    auto log = sixteenAllied();
    enterMany(log, "19:50:00", 1, 16, false);
    log.push_back(killLine("19:55:00", "Hun_01", "FOKKER_DVII", allied(1), "SOPWITH_CAMEL"));
    const std::string a17 = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string h17 = enterLine("20:00:00", hun(17), "FOKKER_DVII");
    const std::string a18 = enterLine("20:03:00", allied(18), "SOPWITH_CAMEL");
    const std::string h18 = enterLine("20:03:00", hun(18), "FOKKER_DVII");
    const std::string aOut1 = leaveLine("20:09:00", allied(2));
    const std::string hOut1 = leaveLine("20:09:00", hun(2));
    const std::string aOut2 = leaveLine("20:12:00", allied(18));
    const std::string hOut2 = leaveLine("20:12:00", hun(18));
    log.insert(log.end(), {a17, h17, a18, h18, aOut1, hOut1, aOut2, hOut2});
    const Report report = tallyGame(log);

    const std::vector<std::string> body =
        std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", a17,
                                 "WARNING -- number of Hun pilots in game = 17",    h17,
                                 "WARNING -- number of allied pilots in game = 18", a18,
                                 "WARNING -- number of Hun pilots in game = 18",    h18} +
        dropBack(true, 17, aOut1, "6", 2) + dropBack(false, 17, hOut1, "6", 2) +
        dropBack(true, 16, aOut2, "12", 4) + dropBack(false, 16, hOut2, "12", 4);
    EXPECT_EQ(report.section[1], sectionOne(body, 18, 18, 6, 6));
    EXPECT_EQ(report.zorl, zorlBlock("4", "-11"));
}

TEST(ArenaSection, NineteenthPilotWarnsButSettlesNothing) {
    auto log = sixteenAllied();
    const std::string in17 = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string in18 = enterLine("20:01:00", allied(18), "SOPWITH_CAMEL");
    const std::string in19 = enterLine("20:02:00", allied(19), "SOPWITH_CAMEL");
    const std::string out19 = leaveLine("20:04:00", allied(19));  // 19 to 18: nothing
    const std::string out18 = leaveLine("20:07:00", allied(18));
    const std::string out17 = leaveLine("20:10:00", allied(17));
    log.insert(log.end(), {in17, in18, in19, out19, out18, out17});
    const Report report = tallyGame(log);

    const std::vector<std::string> body =
        std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in17,
                                 "WARNING -- number of allied pilots in game = 18", in18,
                                 "WARNING -- number of allied pilots in game = 19", in19} +
        dropBack(true, 17, out18, "6", 2) + dropBack(true, 16, out17, "10", 3);
    EXPECT_EQ(report.section[1], sectionOne(body, 19, 0, 5, 0));
    EXPECT_EQ(report.zorl, zorlBlock("-5", "0"));
}

// A pilot already in the roster is warned about with "Allied", a new one with
// "allied".
TEST(ArenaSection, PilotComingBackAsSeventeenthIsSpeltAllied) {
    auto log = sixteenAllied();
    const std::string in1 = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string out1 = leaveLine("20:05:00", allied(17));
    const std::string in2 = enterLine("20:20:00", allied(17), "SPAD13", false);
    const std::string out2 = leaveLine("20:29:00", allied(17));
    log.insert(log.end(), {in1, out1, in2, out2});
    const Report report = tallyGame(log);

    const std::vector<std::string> body =
        std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in1} +
        dropBack(true, 16, out1, "5", 1) +
        std::vector<std::string>{"WARNING -- number of Allied pilots in game = 17", in2} +
        dropBack(true, 16, out2, "9", 3);
    EXPECT_EQ(report.section[1], sectionOne(body, 17, 0, 4, 0));
}

TEST(ArenaSection, PilotEnteringTwiceIsCountedOnce) {
    auto log = sixteenAllied();
    log.push_back(enterLine("19:58:00", allied(5), "SOPWITH_CAMEL"));  // still in: no count
    const std::string in = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string out = leaveLine("20:03:00", allied(17));
    log.insert(log.end(), {in, out});
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in} +
                       dropBack(true, 16, out, "3", 1),
                   17, 0, 1, 0));
}

TEST(ArenaSection, PilotLeavingTwiceIsCountedOutOnce) {
    auto log = sixteenAllied();
    const std::string in17 = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string out5 = leaveLine("20:06:00", allied(5));
    const std::string in18 = enterLine("20:10:00", allied(18), "SOPWITH_CAMEL");
    const std::string out18 = leaveLine("20:13:00", allied(18));
    log.insert(log.end(), {in17, out5, leaveLine("20:07:00", allied(5)), in18, out18});
    // A pilot never seen entering leaves: nobody is counted out.
    log.push_back(leaveLine("20:14:00", hun(1)));
    const Report report = tallyGame(log);

    const std::vector<std::string> body =
        std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in17} +
        dropBack(true, 16, out5, "6", 2) +
        std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in18} +
        dropBack(true, 16, out18, "3", 1);
    EXPECT_EQ(report.section[1], sectionOne(body, 17, 0, 3, 0));
}

TEST(ArenaSection, NamesWithAndWithoutAddressAreOnePilot) {
    std::vector<std::string> log;
    for (int n = 1; n <= 16; ++n) {
        log.push_back(enterLine("19:50:00", allied(n), "SOPWITH_CAMEL", false));
    }
    // Already in, once with its address: no count.
    log.push_back(enterLine("19:59:00", allied(1), "SOPWITH_CAMEL", true));
    const std::string in = enterLine("20:01:00", allied(17), "SOPWITH_CAMEL", true);
    const std::string out = leaveLine("20:04:00", allied(17));
    log.insert(log.end(), {in, out});
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in} +
                       dropBack(true, 16, out, "3", 1),
                   17, 0, 1, 0));
}

// Bob enters: every entry not in the arena whose name holds "Bob" exactly
// (Bobby, not BOBBY) is counted in, and Bob gets no entry of his own.
TEST(ArenaSection, NameContainedInOtherNames) {
    std::vector<std::string> log;
    enterMany(log, "19:50:00", 1, 15, true);
    log.push_back(enterLine("19:50:00", "Bobby", "SOPWITH_CAMEL"));
    const std::string bigBobby = enterLine("20:00:00", "BOBBY", "NIEUPORT_17");
    const std::string bobbyOut = leaveLine("20:03:00", "Bobby");
    const std::string bobIn = enterLine("20:10:00", "Bob", "SOPWITH_CAMEL");
    const std::string bobOut = leaveLine("20:16:00", "Bob");
    log.insert(log.end(), {bigBobby, bobbyOut, bobIn, bobOut});
    const Report report = tallyGame(log);

    const std::vector<std::string> body =
        std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", bigBobby} +
        dropBack(true, 16, bobbyOut, "3", 1) +
        std::vector<std::string>{"WARNING -- number of Allied pilots in game = 17", bobIn} +
        dropBack(true, 16, bobOut, "6", 2);
    EXPECT_EQ(report.section[1], sectionOne(body, 17, 0, 3, 0));
}

// A name longer than 16 characters is known by its first 16.
TEST(ArenaSection, LongNameFindsItsOwnEntry) {
    const std::string longName = "Very_Long_Pilot_Name_X";
    std::vector<std::string> log;
    enterMany(log, "19:50:00", 1, 15, true);
    log.push_back(enterLine("19:50:00", longName, "SOPWITH_CAMEL"));  // 16
    log.push_back(enterLine("19:55:00", longName, "SOPWITH_CAMEL"));  // still in
    log.push_back(leaveLine("19:56:00", longName));                   // 15
    enterMany(log, "20:00:00", 16, 16, true);                         // 16
    const std::string in = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string out = leaveLine("20:06:00", allied(17));
    log.insert(log.end(), {in, out});
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in} +
                       dropBack(true, 16, out, "6", 2),
                   17, 0, 2, 0));
}

// Lines that cannot be taken apart count nobody in or out.
TEST(ArenaSection, MalformedEntryAndExitLinesAreSkipped) {
    auto log = sixteenAllied();
    log.push_back(leaveLine("19:51:00", allied(1)));  // 15
    log.push_back(stamp("19:55:00") +
                  "Player Allied_20 has entered the arena, flying a SOPWITH_CAMEL");
    log.push_back(stamp("19:55:01") +
                  "Player |Allied_21has entered the arena, flying a SOPWITH_CAMEL");
    log.push_back(stamp("19:55:02") +
                  "Player |XUDP:192.0.2.9:2300 has entered the arena, flying a SOPWITH_CAMEL");
    log.push_back(stamp("19:55:03") + "Player Allied_02 has left the arena");
    enterMany(log, "20:00:00", 17, 17, true);  // 16
    const std::string in = enterLine("20:01:00", allied(18), "SOPWITH_CAMEL");
    const std::string out = leaveLine("20:04:00", allied(18));
    log.insert(log.end(), {in, out});
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in} +
                       dropBack(true, 16, out, "3", 1),
                   17, 0, 1, 0));
}

// A pilot keeps the side of his first aircraft; an unknown aircraft counts
// for nobody, then and later.
TEST(ArenaSection, PilotKeepsTheSideOfHisFirstEntry) {
    std::vector<std::string> log;
    enterMany(log, "19:50:00", 1, 15, true);
    log.push_back(enterLine("19:51:00", "Gotha_Pilot", "GOTHA_GV"));
    log.push_back(enterLine("19:52:00", "Turncoat", "FOKKER_DVII"));
    log.push_back(leaveLine("19:53:00", "Turncoat"));
    log.push_back(enterLine("19:54:00", "Turncoat", "SOPWITH_CAMEL"));  // Hun again
    enterMany(log, "19:55:00", 16, 16, true);                           // 16 Allied
    log.push_back(leaveLine("19:56:00", "Gotha_Pilot"));
    log.push_back(enterLine("19:57:00", "Gotha_Pilot", "SOPWITH_CAMEL"));  // still nobody's
    const std::string in = enterLine("20:00:00", allied(17), "SOPWITH_CAMEL");
    const std::string out = leaveLine("20:09:00", allied(17));
    log.insert(log.end(), {in, out});
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of allied pilots in game = 17", in} +
                       dropBack(true, 16, out, "9", 3),
                   17, 1, 3, 0));
}

TEST(ArenaSection, SeventeenthPilotAcrossMidnight) {
    std::vector<std::string> log;
    enterMany(log, "23:50:00", 1, 16, false);
    const std::string in = enterLine("23:55:00", hun(17), "ALBATROS_DIII");
    const std::string out = leaveLine("00:05:00", hun(9));
    log.insert(log.end(), {in, out});
    const Report report = tallyGame(log);

    EXPECT_EQ(
        report.section[1],
        sectionOne(std::vector<std::string>{"WARNING -- number of Hun pilots in game = 17", in} +
                       dropBack(false, 16, out, "10", 3),
                   0, 17, 0, 3));
    EXPECT_EQ(report.zorl, zorlBlock("0", "-3"));
}

TEST(ArenaSection, EighteenthPilotAcrossMidnight) {
    std::vector<std::string> log;
    enterMany(log, "23:50:00", 1, 16, false);
    const std::string in17 = enterLine("23:55:00", hun(17), "PFALZ_DIII");
    const std::string in18 = enterLine("23:58:00", hun(18), "HALBERSTADT_CL2");
    const std::string out1 = leaveLine("00:04:00", hun(9));
    const std::string out2 = leaveLine("00:05:00", hun(10));
    log.insert(log.end(), {in17, in18, out1, out2});
    const Report report = tallyGame(log);

    const std::vector<std::string> body =
        std::vector<std::string>{"WARNING -- number of Hun pilots in game = 17", in17,
                                 "WARNING -- number of Hun pilots in game = 18", in18} +
        dropBack(false, 17, out1, "6", 2) + dropBack(false, 16, out2, "10", 3);
    EXPECT_EQ(report.section[1], sectionOne(body, 0, 18, 0, 5));
    EXPECT_EQ(report.zorl, zorlBlock("0", "-5"));
}

}  // namespace
}  // namespace vorskal::testing::cut
