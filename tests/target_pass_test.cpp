// Ground targets through whole runs: which destructions are credited, to which
// record, with which location key and points; which lines section 5 lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/section_cut.h"

namespace vorskal::testing::cut {
namespace {

// The fighter pass would add warnings for every destroyer not seen entering;
// these tests look at the ground-target pass alone.
TallyOptions targetsOnly(bool redBoxedOnly = true) {
    TallyOptions options;
    options.fighterTargetCorrection = false;
    options.redBoxedOnly = redBoxedOnly;
    return options;
}

std::vector<std::string> nonRedBoxedSection(bool redBoxedOnly,
                                            const std::vector<std::string>& listed) {
    std::vector<std::string> out = {
        "5. Report non-red boxed targets destroyed.", std::string(42, '-'), " ",
        redBoxedOnly ? "NOTICE -- Only red boxed targets have been tallied "
                     : "NOTICE -- Non-red boxed targets have been tallied ",
        " "};
    out.insert(out.end(), listed.begin(), listed.end());
    out.insert(out.end(), {" ", " "});
    return out;
}

const Row kNoAllied{};

TEST(TargetPass, LocationKeysForOneTwoAndThreeDigitNumbers) {
    const Report report = tallyGame(
        {
            markerLine("20:10:00"), targetLine("20:10:00", "Bridge #12", "Snoopy"),
            markerLine("20:11:00"), targetLine("20:11:00", "Depot #7", "Snoopy"),
            markerLine("20:12:00"), targetLine("20:12:00", "Factory #123", "Snoopy"),
            markerLine("20:13:00"),
            targetLine("20:13:00", "Bridge 12", "Snoopy"),  // no "#": one is put in front
        },
        targetsOnly());

    EXPECT_EQ(report.section[6],
              scoresSection({}, kNoAllied, {{"Snoopy", 57, 0, 0, 4, 57, ",#12, #7,#123,# 12"}},
                            sum(57, 0, 0, 4, 57)));
    EXPECT_EQ(report.zorl, zorlBlock("0", "57"));
    EXPECT_EQ(report.section[5], nonRedBoxedSection(true, {}));
}

// The marker counts on the line just before only, in any letter case, and
// only with the blank after "removed".
std::vector<std::string> markerLog() {
    return {
        targetLine("20:00:00", "Bridge #12", "Alpha"),  // first line: never marked
        stamp("20:01:00") + "SELECTED TARGET DESTROYED AND REMOVED FROM LIST",
        targetLine("20:01:00", "Bridge #12", "Bravo"),
        stamp("20:02:00") + "Note: selected target destroyed and removed from list",
        targetLine("20:02:00", "Depot #7", "Bravo"),
        markerLine("20:03:00"),
        stamp("20:03:00") + "Message from the server",
        targetLine("20:03:00", "Factory #123", "Bravo"),  // marker two lines back
        stamp("20:04:00") + "Selected target destroyed and removed",
        targetLine("20:04:00", "Bridge #12", "Bravo"),  // marker text without its blank
        markerLine("20:05:00"),
        targetLine("20:05:00", "Depot #7", "Bravo"),
        targetLine("20:05:00", "Depot #7", "Bravo"),  // one marker, two destructions
    };
}

std::vector<std::string> unmarkedOf(const std::vector<std::string>& log) {
    return {log[0], log[7], log[9], log[12]};
}

TEST(TargetPass, RedBoxedOnlyCreditsMarkedDestructionsAndListsTheOthers) {
    const auto log = markerLog();
    const Report report = tallyGame(log, targetsOnly(true));

    EXPECT_EQ(report.section[5], nonRedBoxedSection(true, unmarkedOf(log)));
    // Alpha's record is made although nothing is credited to it.
    EXPECT_EQ(report.section[6], scoresSection({}, kNoAllied,
                                               {{"Alpha", 0, 0, 0, 0, 0, ""},
                                                {"Bravo", 29, 0, 0, 3, 29, ",#12, #7, #7"}},
                                               sum(29, 0, 0, 3, 29)));
    EXPECT_EQ(report.zorl, zorlBlock("0", "29"));
}

TEST(TargetPass, AllTargetsCreditsMarkedAndUnmarkedAlike) {
    const auto log = markerLog();
    const Report report = tallyGame(log, targetsOnly(false));

    EXPECT_EQ(report.section[5], nonRedBoxedSection(false, unmarkedOf(log)));
    EXPECT_EQ(report.section[6],
              scoresSection({}, kNoAllied,
                            {{"Alpha", 15, 0, 0, 1, 15, ",#12"},
                             {"Bravo", 71, 0, 0, 6, 71, ",#12, #7,#123,#12, #7, #7"}},
                            sum(86, 0, 0, 7, 86)));
    EXPECT_EQ(report.zorl, zorlBlock("0", "86"));
}

TEST(TargetPass, DestroyerContainedInAnotherNameInAnyLetterCase) {
    const Report report = tallyGame(
        {
            killLine("20:00:00", "Baron_Red", "FOKKER_DVII", "BOBBY", "SOPWITH_CAMEL"),
            killLine("20:01:00", "Hans", "FOKKER_DVII", "Bob", "SOPWITH_CAMEL"),
            markerLine("20:02:00"),
            targetLine("20:02:00", "Hangar #45", "bob"),  // in "BOBBY", before "Bob"
            markerLine("20:03:00"),
            targetLine("20:03:00", "Hangar #45", "Bob"),  // the first match again
            markerLine("20:04:00"),
            targetLine("20:04:00", "Bridge #12", "ron_R"),  // part of "Baron_Red"
        },
        targetsOnly());

    EXPECT_EQ(report.section[6],
              scoresSection({{"BOBBY", 28, 1, 0, 2, 18, ",#45,#45"}, {"Bob", 10, 1, 0, 0, 0, ""}},
                            sum(38, 2, 0, 2, 18),
                            {{"Baron_Red", 10, 0, 1, 1, 15, ",#12"}, {"Hans", -5, 0, 1, 0, 0, ""}},
                            sum(5, 0, 2, 1, 15)));
    EXPECT_EQ(report.zorl, zorlBlock("38", "5"));
}

TEST(TargetPass, CreditsTheFirstRecordOfTheTargetsTeam) {
    const Report report = tallyGame(
        {
            // Snoopy gets an Allied record (slot 1), then a Hun one (slot 4).
            killLine("20:00:00", "Snoopy", "SOPWITH_CAMEL", "Baron_Red", "FOKKER_DVII"),
            killLine("20:01:00", "Max", "FOKKER_DVII", "Snoopy", "FOKKER_DR1"),
            markerLine("20:02:00"),
            targetLine("20:02:00", "Bridge #12", "Snoopy"),  // Hun target: slot 4
            markerLine("20:03:00"),
            targetLine("20:03:00", "Bridge #12", "Snoopy"),  // slot 4 again, no new record
            markerLine("20:04:00"),
            targetLine("20:04:00", "Hangar #45", "Snoopy"),  // Allied target: slot 1
            markerLine("20:05:00"),
            targetLine("20:05:00", "Hangar #45", "Baron_Red"),  // no Allied Baron_Red yet
            markerLine("20:06:00"),
            targetLine("20:06:00", "Truck #9", "Baron_Red"),  // the Allied one just made
        },
        targetsOnly());

    EXPECT_EQ(report.section[6], scoresSection({{"Snoopy", 4, 0, 1, 1, 9, ",#45"},
                                                {"Baron_Red", 11, 0, 0, 2, 11, ",#45, #9"}},
                                               sum(15, 0, 1, 3, 20),
                                               {{"Baron_Red", 10, 1, 0, 0, 0, ""},
                                                {"Max", -5, 0, 1, 0, 0, ""},
                                                {"Snoopy", 40, 1, 0, 2, 30, ",#12,#12"}},
                                               sum(45, 2, 1, 2, 30)));
    EXPECT_EQ(report.zorl, zorlBlock("15", "45"));
}

TEST(TargetPass, DestroyerLongerThanSixteenCharactersFindsItsOwnRecord) {
    const Report report = tallyGame(
        {
            markerLine("20:00:00"),
            targetLine("20:00:00", "Bridge #12", "Very_Long_Pilot_Name_X"),
            markerLine("20:01:00"),
            targetLine("20:01:00", "Bridge #12", "Very_Long_Pilot_Name_X"),
        },
        targetsOnly());

    EXPECT_EQ(report.section[6],
              scoresSection({}, kNoAllied, {{"Very_Long_Pilot_", 30, 0, 0, 2, 30, ",#12,#12"}},
                            sum(30, 0, 0, 2, 30)));
}

TEST(TargetPass, TargetLineThatCannotBeTakenApartIsSkipped) {
    const std::vector<std::string> log = {
        stamp("20:00:00") + "Target Bridge #12 was hit by Snoopy.",
        stamp("20:00:01") + "Target Bridge #12 destroyed by ",  // empty tail
        targetLine("20:00:02", "Depot #7", "Snoopy"),
        // Not a destruction, yet it is the line before the next one.
        stamp("20:01:00") + "Target list: selected target destroyed and removed from list",
        targetLine("20:01:00", "Bridge #12", "Snoopy"),
    };
    const Report report = tallyGame(log, targetsOnly());

    EXPECT_EQ(report.section[5], nonRedBoxedSection(true, {log[2]}));
    EXPECT_EQ(report.section[6], scoresSection({}, kNoAllied, {{"Snoopy", 15, 0, 0, 1, 15, ",#12"}},
                                               sum(15, 0, 0, 1, 15)));
}

// A number that the map block does not list leaves the team and the points
// of the last lookup that found something (none at all at first).
TEST(TargetPass, TargetNotInTheMapKeepsTheLastTeamAndPoints) {
    const Report report = tallyGame(
        {
            markerLine("20:00:00"),
            targetLine("20:00:00", "Mill #99", "Ghost"),
            markerLine("20:01:00"),
            targetLine("20:01:00", "Bridge #12", "Snoopy"),
            markerLine("20:02:00"),
            targetLine("20:02:00", "Mill #99", "Snoopy"),
            markerLine("20:03:00"),
            targetLine("20:03:00", "Mill #99", "Ghost"),
        },
        targetsOnly());

    EXPECT_EQ(
        report.section[6],
        scoresSection({}, kNoAllied,
                      {{"Snoopy", 30, 0, 0, 2, 30, ",#12,#99"}, {"Ghost", 15, 0, 0, 1, 15, ",#99"}},
                      sum(45, 0, 0, 3, 45), {{"Ghost", 0, 0, 0, 1, 0, ",#99"}}));
    EXPECT_EQ(report.zorl, zorlBlock("0", "45"));
}

// The team slot holds the result of whichever identification ran last: the
// run's first lookup finds an Allied target, then the kills identify a Hun
// killer, so a target that the map does not list goes to the Hun side, with
// the points of that first lookup.
TEST(TargetPass, TargetNotInTheMapTakesTheTeamOfTheLastKill) {
    const std::string ini = crlf({"Map=Verdun", "Verdun", "12-Bridge,2", "20-Depot,1", "",
                                  "Kill=10", "Death=-5", "Bridge=15", "Depot=7"});
    const Report report = tallyGame(
        {
            killLine("20:00:00", "Snoopy", "SOPWITH_CAMEL", "Fritz", "FOKKER_DVII"),
            markerLine("20:01:00"),
            targetLine("20:01:00", "Mill #99", "Ghost"),
        },
        targetsOnly(), ini);

    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", -5, 0, 1, 0, 0, ""}}, sum(-5, 0, 1, 0, 0),
                            {{"Fritz", 10, 1, 0, 0, 0, ""}, {"Ghost", 7, 0, 0, 1, 7, ",#99"}},
                            sum(17, 1, 0, 1, 7)));
}

}  // namespace
}  // namespace vorskal::testing::cut
