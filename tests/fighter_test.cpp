// Section 3 through whole runs: the third pass learns each pilot's aircraft
// from the entry lines, reports targets destroyed by fighters (and by pilots
// whose aircraft it has not seen yet) and takes fighter targets back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/section_cut.h"

namespace vorskal::testing::cut {
namespace {

const std::string kHeading = "3. Report fighter destroyed targets.";
const std::string kRule(36, '-');
const std::string kFighter = "WARNING -- Fighter destroyed target";
const std::string kUnknown = "WARNING -- Unknown type destroyed target";
const Row kNoAllied{};

std::vector<std::string> sectionThree(const std::vector<std::string>& body) {
    std::vector<std::string> out = {kHeading, kRule, " "};
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), {" ", " "});
    return out;
}

TEST(FighterSection, OptionOffIsTheFrameAloneAndTakesNothingBack) {
    TallyOptions options;
    options.fighterTargetCorrection = false;
    const Report report = tallyGame(
        {
            enterLine("20:00:00", "Fritz", "FOKKER_DVII"),
            markerLine("20:05:00"),
            targetLine("20:05:00", "Bridge #12", "Fritz"),
        },
        options);

    EXPECT_EQ(report.section[3], (std::vector<std::string>{kHeading, kRule, " ", " ", " "}));
    EXPECT_EQ(report.section[6], scoresSection({}, kNoAllied, {{"Fritz", 15, 0, 0, 1, 15, ",#12"}},
                                               sum(15, 0, 0, 1, 15)));
}

struct Aircraft {
    std::string type;
    bool fighter;
};

class AircraftClass : public ::testing::TestWithParam<Aircraft> {};

// Only the exact types "ALBATROS_DII" and "NIEUPORT_17" are not fighters.
TEST_P(AircraftClass, FighterTargetsAreReportedAndTakenBack) {
    const Aircraft& a = GetParam();
    const std::string destroyed = targetLine("20:05:00", "Bridge #12", "Fritz");
    const Report report = tallyGame({
        enterLine("20:00:00", "Fritz", a.type),
        markerLine("20:05:00"),
        destroyed,
    });

    if (a.fighter) {
        EXPECT_EQ(report.section[3], sectionThree({kFighter, destroyed}));
        EXPECT_EQ(
            report.section[6],
            scoresSection({}, kNoAllied, {{"Fritz", 0, 0, 0, 0, 0, ",#12"}}, sum(0, 0, 0, 0, 0)));
    } else {
        EXPECT_EQ(report.section[3], sectionThree({}));
        EXPECT_EQ(report.section[6],
                  scoresSection({}, kNoAllied, {{"Fritz", 15, 0, 0, 1, 15, ",#12"}},
                                sum(15, 0, 0, 1, 15)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    FighterSection, AircraftClass,
    ::testing::Values(Aircraft{"ALBATROS_DII", false}, Aircraft{"NIEUPORT_17", false},
                      Aircraft{"FOKKER_DVII", true}, Aircraft{"SE5A", true},
                      Aircraft{"ALBATROS_DII ", true}, Aircraft{"albatros_dii", true},
                      Aircraft{"ALBATROS_DIII", true}, Aircraft{"NIEUPORT_17C", true}));

TEST(FighterSection, LastEntryAboveTheTargetLineDecides) {
    const std::string first = targetLine("20:05:00", "Bridge #12", "Fritz");
    const std::string second = targetLine("20:15:00", "Bridge #12", "Fritz");
    const std::string third = targetLine("20:25:00", "Bridge #12", "Fritz");
    const Report report = tallyGame({
        enterLine("20:00:00", "Fritz", "ALBATROS_DII"),
        markerLine("20:05:00"),
        first,
        enterLine("20:10:00", "Fritz", "SE5A"),
        markerLine("20:15:00"),
        second,
        enterLine("20:20:00", "Fritz", "ALBATROS_DII"),
        markerLine("20:25:00"),
        third,
    });

    EXPECT_EQ(report.section[3], sectionThree({kFighter, second}));
    EXPECT_EQ(report.section[6],
              scoresSection({}, kNoAllied, {{"Fritz", 30, 0, 0, 2, 30, ",#12,#12,#12"}},
                            sum(30, 0, 0, 2, 30)));
}

TEST(FighterSection, TargetBeforeAnyEntryIsReportedAsUnknownType) {
    const std::string early = targetLine("20:00:00", "Bridge #12", "Fritz");
    const std::string later = targetLine("20:15:00", "Depot #7", "Fritz");
    const Report report = tallyGame({
        markerLine("20:00:00"),
        early,
        enterLine("20:10:00", "Fritz", "FOKKER_DVII"),
        markerLine("20:15:00"),
        later,
    });

    EXPECT_EQ(report.section[3], sectionThree({kUnknown, early, kFighter, later}));
    EXPECT_EQ(report.section[6],
              scoresSection({}, kNoAllied, {{"Fritz", 15, 0, 0, 1, 15, ",#12, #7"}},
                            sum(15, 0, 0, 1, 15)));
}

// "Bob" is in the names Bobby and Bob. The ground-target pass credited the
// Hangar to Bobby, the first of them: every fighter among them is warned
// about, only Bobby gives it back.
TEST(FighterSection, TwoRecordsMatchOneDestroyer) {
    const std::string destroyed = targetLine("20:05:00", "Hangar #45", "Bob");
    const Report report = tallyGame({
        killLine("20:00:00", "Hans", "FOKKER_DVII", "Bobby", "SOPWITH_CAMEL"),
        killLine("20:01:00", "Fritz", "FOKKER_DVII", "Bob", "SOPWITH_CAMEL"),
        enterLine("20:02:00", "Bobby", "SOPWITH_CAMEL"),
        enterLine("20:02:10", "Bob", "SOPWITH_CAMEL"),
        markerLine("20:05:00"),
        destroyed,
    });

    EXPECT_EQ(report.section[3], sectionThree({kFighter, destroyed, kFighter, destroyed}));
    EXPECT_EQ(report.section[6],
              scoresSection({{"Bobby", 10, 1, 0, 0, 0, ",#45"}, {"Bob", 10, 1, 0, 0, 0, ""}},
                            sum(20, 2, 0, 0, 0),
                            {{"Hans", -5, 0, 1, 0, 0, ""}, {"Fritz", -5, 0, 1, 0, 0, ""}},
                            sum(-10, 0, 2, 0, 0)));
}

// Bob's entry makes Bobby and Bob fighters; Bobby's own entry makes Bobby a
// Nieuport again. The target credited to Bobby stays; Bob, warned about,
// gives back nothing that he never got.
TEST(FighterSection, FighterThatWasNotCreditedLosesNothing) {
    const std::string destroyed = targetLine("20:05:00", "Hangar #45", "Bob");
    const Report report = tallyGame({
        killLine("20:00:00", "Hans", "FOKKER_DVII", "Bobby", "SOPWITH_CAMEL"),
        killLine("20:01:00", "Fritz", "FOKKER_DVII", "Bob", "SOPWITH_CAMEL"),
        enterLine("20:02:00", "Bob", "SOPWITH_CAMEL"),
        enterLine("20:02:10", "Bobby", "NIEUPORT_17", false),
        markerLine("20:05:00"),
        destroyed,
    });

    EXPECT_EQ(report.section[3], sectionThree({kFighter, destroyed}));
    EXPECT_EQ(report.section[6],
              scoresSection({{"Bobby", 19, 1, 0, 1, 9, ",#45"}, {"Bob", 10, 1, 0, 0, 0, ""}},
                            sum(29, 2, 0, 1, 9),
                            {{"Hans", -5, 0, 1, 0, 0, ""}, {"Fritz", -5, 0, 1, 0, 0, ""}},
                            sum(-10, 0, 2, 0, 0)));
}

TEST(FighterSection, TargetNotCreditedUnderRedBoxedOnlyIsNotTakenBack) {
    const std::string unmarked = targetLine("20:05:00", "Bridge #12", "Fritz");
    const std::string marked = targetLine("20:06:00", "Depot #7", "Fritz");
    const Report report = tallyGame({
        enterLine("20:00:00", "Fritz", "FOKKER_DVII"),
        unmarked,
        markerLine("20:06:00"),
        marked,
    });

    EXPECT_EQ(report.section[3], sectionThree({kFighter, unmarked, kFighter, marked}));
    // The taken-back target keeps its place among the locations.
    EXPECT_EQ(report.section[6],
              scoresSection({}, kNoAllied, {{"Fritz", 0, 0, 0, 0, 0, ", #7"}}, sum(0, 0, 0, 0, 0)));
    EXPECT_EQ(report.zorl, zorlBlock("0", "0"));
}

// What comes back is what the ground-target pass gave: for a number that the
// map does not list, the points that pass credited, whatever a lookup would
// give now.
TEST(FighterSection, TakesBackThePointsThatWereCredited) {
    const std::string mill = targetLine("20:06:00", "Mill #99", "Fritz");
    const Report report = tallyGame({
        enterLine("20:00:00", "Hans", "ALBATROS_DII"),
        enterLine("20:00:00", "Fritz", "FOKKER_DVII"),
        markerLine("20:05:00"),
        targetLine("20:05:00", "Bridge #12", "Hans"),
        markerLine("20:06:00"),
        mill,  // credited with the Bridge's 15
        markerLine("20:07:00"),
        targetLine("20:07:00", "Depot #7", "Hans"),
    });

    EXPECT_EQ(report.section[3], sectionThree({kFighter, mill}));
    EXPECT_EQ(report.section[6], scoresSection({}, kNoAllied,
                                               {{"Hans", 22, 0, 0, 2, 22, ",#12, #7"},
                                                {"Fritz", 0, 0, 0, 0, 0, ",#99"}},
                                               sum(22, 0, 0, 2, 22)));
}

TEST(FighterSection, LongNamesAreKnownByTheirFirstSixteenCharacters) {
    const std::string destroyed = targetLine("20:05:00", "Bridge #12", "Very_Long_Pilot_Name_X");
    const Report report = tallyGame({
        enterLine("20:00:00", "Very_Long_Pilot_Name_X", "FOKKER_DVII"),
        markerLine("20:05:00"),
        destroyed,
    });

    EXPECT_EQ(report.section[3], sectionThree({kFighter, destroyed}));
    EXPECT_EQ(report.section[6],
              scoresSection({}, kNoAllied, {{"Very_Long_Pilot_", 0, 0, 0, 0, 0, ",#12"}},
                            sum(0, 0, 0, 0, 0)));
}

// Entry lines without "|", without the blank before the phrase, or with fewer
// than two characters before "UDP:", and target lines without " destroyed by ",
// teach and report nothing.
TEST(FighterSection, LinesThatCannotBeTakenApartAreSkipped) {
    const std::string destroyed = targetLine("20:05:00", "Bridge #12", "Fritz");
    const Report report = tallyGame({
        stamp("20:00:00") + "Player Fritz has entered the arena, flying a FOKKER_DVII",
        stamp("20:00:01") + "Player |Fritzhas entered the arena, flying a FOKKER_DVII",
        stamp("20:00:02") + "Player |FUDP:192.0.2.9:2300 has entered the arena, flying a SE5A",
        markerLine("20:05:00"),
        destroyed,
        stamp("20:06:00") + "Target Bridge #12 was hit by Fritz.",
    });

    EXPECT_EQ(report.section[3], sectionThree({kUnknown, destroyed}));
    EXPECT_EQ(report.section[6], scoresSection({}, kNoAllied, {{"Fritz", 15, 0, 0, 1, 15, ",#12"}},
                                               sum(15, 0, 0, 1, 15)));
}

}  // namespace
}  // namespace vorskal::testing::cut
