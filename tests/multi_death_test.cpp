// Section 2 through whole runs: a pilot's death logged again within 20
// seconds is reported with both lines, and its extra death and kill are taken
// back before the score tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/section_cut.h"

namespace vorskal::testing::cut {
namespace {

const std::string kHeading = "2. Report possible multi-death bugs.";
const std::string kRule(36, '-');

// One warning: the earlier death's line and the flagged one, as 128-character fields.
std::vector<std::string> warning(const std::string& previous, const std::string& flagged) {
    return {"WARNING -- Possible multiple death bug", field(previous, 128), field(flagged, 128)};
}

std::vector<std::string> sectionTwo(const std::vector<std::vector<std::string>>& warnings) {
    std::vector<std::string> out = {kHeading, kRule, " "};
    for (const auto& w : warnings) {
        out.insert(out.end(), w.begin(), w.end());
    }
    out.insert(out.end(), {" ", " "});
    return out;
}

std::string baronKilledBy(const std::string& time, const std::string& killer,
                          const std::string& plane = "SOPWITH_CAMEL") {
    return killLine(time, "Baron_Red", "FOKKER_DVII", killer, plane);
}

TEST(MultiDeathSection, OptionOffIsTheHeadingAloneAndCorrectsNothing) {
    TallyOptions options;
    options.multiDeathCorrection = false;
    const Report report = tallyGame(
        {baronKilledBy("20:00:00", "Snoopy"), baronKilledBy("20:00:10", "Snoopy")}, options);

    // The cut puts "3. Report fighter destroyed targets." right after these.
    EXPECT_EQ(report.section[2], (std::vector<std::string>{kHeading, kRule, " "}));
    EXPECT_EQ(report.section[3].front(), "3. Report fighter destroyed targets.");
    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", 20, 2, 0, 0, 0, ""}}, sum(20, 2, 0, 0, 0),
                            {{"Baron_Red", -10, 0, 2, 0, 0, ""}}, sum(-10, 0, 2, 0, 0)));
}

struct SecondDeath {
    std::string first;
    std::string second;
    bool flagged;
};

class SecondDeathWindow : public ::testing::TestWithParam<SecondDeath> {};

TEST_P(SecondDeathWindow, FlaggedFromNoughtToTwentySeconds) {
    const SecondDeath& c = GetParam();
    const std::string one = baronKilledBy(c.first, "Snoopy");
    const std::string two = baronKilledBy(c.second, "Snoopy");
    const Report report = tallyGame({one, two});

    if (c.flagged) {
        EXPECT_EQ(report.section[2], sectionTwo({warning(one, two)}));
        EXPECT_EQ(report.section[6],
                  scoresSection({{"Snoopy", 10, 1, 0, 0, 0, ""}}, sum(10, 1, 0, 0, 0),
                                {{"Baron_Red", -5, 0, 1, 0, 0, ""}}, sum(-5, 0, 1, 0, 0)));
    } else {
        EXPECT_EQ(report.section[2], sectionTwo({}));
        EXPECT_EQ(report.section[6],
                  scoresSection({{"Snoopy", 20, 2, 0, 0, 0, ""}}, sum(20, 2, 0, 0, 0),
                                {{"Baron_Red", -10, 0, 2, 0, 0, ""}}, sum(-10, 0, 2, 0, 0)));
    }
}

INSTANTIATE_TEST_SUITE_P(MultiDeathSection, SecondDeathWindow,
                         ::testing::Values(SecondDeath{"20:00:00", "20:00:20", true},
                                           SecondDeath{"20:00:00", "20:00:21", false},
                                           SecondDeath{"20:00:00", "20:00:00", true},
                                           SecondDeath{"20:00:00", "20:05:00", false},
                                           SecondDeath{"23:59:55", "00:00:05", true}));

TEST(MultiDeathSection, ThreeDeathsFifteenSecondsApart) {
    const std::string one = baronKilledBy("20:00:00", "Snoopy");
    const std::string two = baronKilledBy("20:00:15", "Biggles");
    const std::string three = baronKilledBy("20:00:30", "Ace", "SE5A");
    const Report report = tallyGame({one, two, three});

    EXPECT_EQ(report.section[2], sectionTwo({warning(one, two), warning(two, three)}));
    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", 10, 1, 0, 0, 0, ""},
                             {"Biggles", 0, 0, 0, 0, 0, ""},
                             {"Ace", 0, 0, 0, 0, 0, ""}},
                            sum(10, 1, 0, 0, 0), {{"Baron_Red", -5, 0, 1, 0, 0, ""}},
                            sum(-5, 0, 1, 0, 0)));
}

TEST(MultiDeathSection, FirstDeathIsNeverFlagged) {
    const Report report = tallyGame({
        baronKilledBy("00:00:05", "Snoopy"),
        killLine("00:00:10", "Hans", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL"),
        baronKilledBy("00:00:40", "Snoopy"),
    });

    EXPECT_EQ(report.section[2], sectionTwo({}));
    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", 30, 3, 0, 0, 0, ""}}, sum(30, 3, 0, 0, 0),
                            {{"Baron_Red", -10, 0, 2, 0, 0, ""}, {"Hans", -5, 0, 1, 0, 0, ""}},
                            sum(-15, 0, 3, 0, 0)));
}

// Only what the first pass scored comes back: a self-kill and a kill line
// without a killer gave a death and no kill.
TEST(MultiDeathSection, SelfKillAndKillerlessLineGiveBackTheDeathOnly) {
    const std::string one = baronKilledBy("20:00:00", "Snoopy");
    const std::string self = baronKilledBy("20:00:10", "Baron_Red", "FOKKER_DVII");
    const std::string three = killLine("20:01:00", "Hans", "FOKKER_DVII", "Snoopy", "SPAD13");
    const std::string crash = stamp("20:01:05") + "Kill of " + field("Hans", 16) + "FOKKER_DVII";
    const Report report = tallyGame({one, self, three, crash});

    EXPECT_EQ(report.section[2], sectionTwo({warning(one, self), warning(three, crash)}));
    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", 20, 2, 0, 0, 0, ""}}, sum(20, 2, 0, 0, 0),
                            {{"Baron_Red", -5, 0, 1, 0, 0, ""}, {"Hans", -5, 0, 1, 0, 0, ""}},
                            sum(-10, 0, 2, 0, 0)));
}

TEST(MultiDeathSection, LinesAreShownAsFieldsOf128Characters) {
    std::string tail = " ";
    for (int i = 0; i < 6; ++i) {
        tail += "0123456789";
    }
    const std::string one = baronKilledBy("20:00:00", "Snoopy");
    const std::string two = baronKilledBy("20:00:05", "Snoopy") + tail;
    ASSERT_LT(one.size(), 128u);
    ASSERT_GT(two.size(), 128u);
    const Report report = tallyGame({one, two});

    const std::vector<std::string> expected = {kHeading,
                                               kRule,
                                               " ",
                                               "WARNING -- Possible multiple death bug",
                                               one + std::string(128 - one.size(), ' '),
                                               two.substr(0, 128),
                                               " ",
                                               " "};
    EXPECT_EQ(report.section[2], expected);
    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", 10, 1, 0, 0, 0, ""}}, sum(10, 1, 0, 0, 0),
                            {{"Baron_Red", -5, 0, 1, 0, 0, ""}}, sum(-5, 0, 1, 0, 0)));
}

// Max and Hans fly both sides. The duplicate death of Max in a Camel is
// reported once; the death comes back from the Allied Max who got it, the
// kill from the Hun Hans who got it; their other records keep theirs.
TEST(MultiDeathSection, PilotOnBothSidesIsReportedOnceAndCorrectedOnce) {
    const std::string one = killLine("20:00:00", "Fritz", "FOKKER_DVII", "Hans", "SOPWITH_CAMEL");
    const std::string two = killLine("20:01:00", "Max", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string three = killLine("20:05:00", "Max", "SOPWITH_CAMEL", "Hans", "FOKKER_DVII");
    const std::string four = killLine("20:05:10", "Max", "SOPWITH_CAMEL", "Hans", "FOKKER_DVII");
    const Report report = tallyGame({one, two, three, four});

    EXPECT_EQ(report.section[2], sectionTwo({warning(three, four)}));
    EXPECT_EQ(report.section[6], scoresSection({{"Hans", 10, 1, 0, 0, 0, ""},
                                                {"Snoopy", 10, 1, 0, 0, 0, ""},
                                                {"Max", -5, 0, 1, 0, 0, ""}},
                                               sum(15, 2, 1, 0, 0),
                                               {{"Fritz", -5, 0, 1, 0, 0, ""},
                                                {"Max", -5, 0, 1, 0, 0, ""},
                                                {"Hans", 10, 1, 0, 0, 0, ""}},
                                               sum(0, 1, 2, 0, 0)));
}

// The pilot is known by 11 characters of his name, whatever he flies: a death
// in a Camel 10 seconds after one in a Fokker is a duplicate, and it comes
// back from the Allied record that counted it.
TEST(MultiDeathSection, DuplicateInTheOtherSidesAircraft) {
    const std::string one = killLine("20:00:00", "Max", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string two = killLine("20:00:10", "Max", "SOPWITH_CAMEL", "Hans", "FOKKER_DVII");
    const Report report = tallyGame({one, two});

    EXPECT_EQ(report.section[2], sectionTwo({warning(one, two)}));
    EXPECT_EQ(report.section[6],
              scoresSection(
                  {{"Snoopy", 10, 1, 0, 0, 0, ""}, {"Max", 0, 0, 0, 0, 0, ""}}, sum(10, 1, 0, 0, 0),
                  {{"Max", -5, 0, 1, 0, 0, ""}, {"Hans", 0, 0, 0, 0, 0, ""}}, sum(-5, 0, 1, 0, 0)));
}

// Names that share their first 11 characters are one pilot.
TEST(MultiDeathSection, ElevenCharactersNameThePilot) {
    const std::string one =
        killLine("20:00:00", "Richthofen_A", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string two =
        killLine("20:00:12", "Richthofen_B", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const Report report = tallyGame({one, two});

    EXPECT_EQ(report.section[2], sectionTwo({warning(one, two)}));
    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", 10, 1, 0, 0, 0, ""}}, sum(10, 1, 0, 0, 0),
                            {{"Richthofen_A", -5, 0, 1, 0, 0, ""}}, sum(-5, 0, 1, 0, 0)));
}

TEST(MultiDeathSection, WarningsComeByPilotThenInLogOrder) {
    const std::string a1 = killLine("20:00:00", "Alpha", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string b1 = killLine("20:01:00", "Bravo", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string b2 = killLine("20:01:05", "Bravo", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string a2 = killLine("20:02:00", "Alpha", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const std::string a3 = killLine("20:02:10", "Alpha", "FOKKER_DVII", "Snoopy", "SOPWITH_CAMEL");
    const Report report = tallyGame({a1, b1, b2, a2, a3});

    EXPECT_EQ(report.section[2], sectionTwo({warning(a2, a3), warning(b1, b2)}));
    EXPECT_EQ(report.section[6],
              scoresSection({{"Snoopy", 30, 3, 0, 0, 0, ""}}, sum(30, 3, 0, 0, 0),
                            {{"Alpha", -10, 0, 2, 0, 0, ""}, {"Bravo", -5, 0, 1, 0, 0, ""}},
                            sum(-15, 0, 3, 0, 0)));
}

}  // namespace
}  // namespace vorskal::testing::cut
