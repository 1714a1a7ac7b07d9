#pragma once
// The layout of the report "vorskal.log", defined once: its headings and
// rules, its fixed lines, and the pieces of the lines put together from
// numbers and names (notices, warnings, score rows, totals). The report's
// writers (report/ and the passes of tally/) and its reader (the league's
// import of old report files) both take them from here, so a change of
// wording cannot break the import unseen. docs/user-guide.md shows a report.
#include <cstddef>
#include <string_view>

namespace vorskal::layout {

// The header: two empty lines, the title, "Rev " with the version, " -- "
// and the credit, the time line, two empty lines.
inline constexpr std::string_view kTitle = "UX7SERVER Log Tally (VORSKAL.LOG)";
inline constexpr std::string_view kRevision = "Rev ";
inline constexpr std::string_view kCreditSeparator = " -- ";
inline constexpr std::string_view kCredit = "VORSKAL scoring tally for the ZORL league";
inline constexpr std::string_view kTimeLabel = "Current time is ";
inline constexpr std::string_view kDateLabel = "    Current date is ";

// A line of one blank: the gaps inside the report.
inline constexpr std::string_view kSpacer = " ";

// The line that ends a report stopped by a failure: this, then the message.
inline constexpr std::string_view kErrorPrefix = "ERROR -- ";

// A section's heading and the rule of hyphens under it.
struct Heading {
    std::string_view title;
    std::string_view rule;
};

inline constexpr Heading kArenaSection = {"1. Report pilot number greater than 16.",
                                          "---------------------------------------"};
inline constexpr Heading kMultiDeathSection = {"2. Report possible multi-death bugs.",
                                               "------------------------------------"};
inline constexpr Heading kFighterSection = {"3. Report fighter destroyed targets.",
                                            "------------------------------------"};
inline constexpr Heading kCorrectionsSection = {"4. Report score corrections.",
                                                "----------------------------"};
inline constexpr Heading kNonRedBoxedSection = {"5. Report non-red boxed targets destroyed.",
                                                "------------------------------------------"};
inline constexpr Heading kScoresSection = {"6. Report scores.", "-----------------"};
inline constexpr Heading kZorlSection = {
    "ZORL Scoring Results (includes corrections if enabled)",
    "-----------------------------------------------------------"};
inline constexpr Heading kPointValuesSection = {"7. ZORL Scoring Point Values",
                                                "---------------------------------"};

// Section 1. A side is named "Allied" or "Hun"; in the notices of the count
// (and the warning of a pilot's first entry) "allied" or "Hun".
inline constexpr std::string_view kAllied = "Allied";
inline constexpr std::string_view kHun = "Hun";
inline constexpr std::string_view kAlliedInNotices = "allied";
inline constexpr std::string_view kPilotsInGameWarning = "WARNING -- number of ";
inline constexpr std::string_view kPilotsInGameNotice = "NOTICE -- number of ";
inline constexpr std::string_view kPilotsInGame = " pilots in game = ";
inline constexpr std::string_view kOverMaxWarning = "WARNING -- ";  // then "17th Allied"
inline constexpr std::string_view kOverMaxMinutes = " pilot was in game for ";
inline constexpr std::string_view kMinutes = " minutes";
inline constexpr std::string_view kDeductionNotice = "NOTICE -- ";  // then the points
inline constexpr std::string_view kDeductedFrom = " points deducted from ";
inline constexpr std::string_view kDeductionEnd = " score";
inline constexpr std::string_view kMaxAlliedNotice =
    "NOTICE -- Max number of Allied pilots at any one time = ";
inline constexpr std::string_view kMaxHunNotice =
    "NOTICE -- Max number of Hun pilots at any one time = ";
inline constexpr std::string_view kAlliedDeductedNotice =
    "NOTICE -- Points deducted from Allied for over max pilots = ";
inline constexpr std::string_view kHunDeductedNotice =
    "NOTICE -- Points deducted from Hun for over max pilots = ";

// Sections 2 and 3: each warning is followed by the log lines it is about.
inline constexpr std::string_view kMultiDeathWarning = "WARNING -- Possible multiple death bug";
inline constexpr std::string_view kFighterWarning = "WARNING -- Fighter destroyed target";
inline constexpr std::string_view kUnknownTypeWarning = "WARNING -- Unknown type destroyed target";

// Sections 4 and 5: the notices of the options (each ends in a blank).
inline constexpr std::string_view kOverMaxNotice = "NOTICE -- Over Max Pilot penalty enabled ";
inline constexpr std::string_view kMultiDeathNotice =
    "NOTICE -- Multiple Death bug correction enabled ";
inline constexpr std::string_view kFighterNotice =
    "NOTICE -- Fighter Destroyed Target correction enabled ";
inline constexpr std::string_view kRedBoxedOnlyNotice =
    "NOTICE -- Only red boxed targets have been tallied ";
inline constexpr std::string_view kNonRedBoxedNotice =
    "NOTICE -- Non-red boxed targets have been tallied ";

// Section 6: a table per side, then the pilots of no known side.
inline constexpr std::string_view kAlliedTable = "*Allied*";
inline constexpr std::string_view kHunTable = "*Hun*";
inline constexpr std::string_view kTableHeading =
    "Pilot...............Score.....Kills...Deaths...Targets(qty,pts,locs)";
inline constexpr std::string_view kTableRule =
    "--------------------------------------------------------------------";
inline constexpr std::string_view kUnknownTeam = "Unable to determine team";

// A pilot row: the 16-character name (kNameWidth, base/fixed_text.h), then
// score, kills, deaths, targets and target points, each number followed by
// its run of dots, then the locations ("," before each key).
inline constexpr std::string_view kNameDots = ".....";
inline constexpr std::string_view kRowDots[5] = {".........", ".......", "........", "...", "..."};
// A totals line: its label, then the same five numbers; after the score one
// dot fewer than a pilot row.
inline constexpr std::string_view kAlliedTotalsLabel = "Allied Totals:......";
inline constexpr std::string_view kHunTotalsLabel = "Hun Totals:.........";
inline constexpr std::string_view kTotalsDots[5] = {"........", ".......", "........", "...",
                                                    "..."};

// The ZORL block: each side's final total after its label.
inline constexpr std::string_view kAlliedFinalLabel = "Allied Total:...";
inline constexpr std::string_view kHunFinalLabel = "Hun Total:......";

// Section 7: the point lines of "vorskal.ini", then the map between spacers.
inline constexpr std::string_view kMapUsed = "Map used was ";

}  // namespace vorskal::layout
