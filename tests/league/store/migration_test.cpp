// A league file of the schema before seasons (tests/league/schema-1: made
// by the programs of that time, kept as SQL) is brought up to date by the
// first writing command: its games land in season 1, their days are read
// from the log's dates, their rows and corrections stay, and they are
// still known as the games they are: by their report file, and by the same
// logs, settings and options tallied again; no player's address is left.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "league/store/league_file.h"
#include "league/store/sqlite.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

// Both files keep one over-max correction whose first evidence line is
// Pips entering from 192.0.2.95, port 2300: that address is masked.
void expectAddressMasked(league::LeagueFile& file) {
    league::Statement line = file.db().prepare(
        "SELECT text FROM correction_lines WHERE correction_id = 2 AND position = 0");
    ASSERT_TRUE(line.step());
    EXPECT_EQ(line.text(0),
              "12/06/26 20:40:00 Player |Pips (UDP:\xE2\x80\xA6) has entered the arena, flying a "
              "SPAD_XIII");
    EXPECT_EQ(file.db().scalar("SELECT count(*) FROM correction_lines WHERE text LIKE '%UDP:1%'"),
              0);
}

const std::string kFixture = std::string(VORSKAL_SOURCE_DIR) + "/tests/league/schema-1/";

// What the page of a game says without its targets, arena events and
// timeline, tallied or imported from its report.
const char* const kTallied =
    "<p>This game was recorded before the league kept what the charts draw: no charts are "
    "drawn, and the targets not credited are not listed.</p>";
const char* const kImported =
    "<p>This game was imported from its report, which holds no timeline: no charts are drawn, "
    "and the targets not credited are not listed.</p>";

// The games of an older file have none of those kept: their pages in the
// site (game 1, game 2) say so instead of drawing charts.
void expectPagesWithoutLists(const std::string& db, const std::string& site,
                             const std::vector<const char*>& says) {
    EXPECT_EQ(league::LeagueFile(db, league::LeagueFile::Access::Read)
                  .db()
                  .scalar("SELECT count(*) FROM games WHERE lists_kept = 1"),
              0);
    const LeagueRun run = league({db, "site", site});
    ASSERT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 0; i < says.size(); ++i) {
        const std::string page = bytesOf(site + "/games/game-" + std::to_string(i + 1) + ".html");
        EXPECT_NE(page.find(says[i]), std::string::npos) << "game " << i + 1;
        EXPECT_EQ(page.find("<svg"), std::string::npos) << "game " << i + 1;
    }
}

TEST(MigrationTest, AFileOfSchemaOneComesUpToDateAndKeepsItsGames) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    league::Connection(db, league::Connection::Mode::Create).exec(bytesOf(kFixture + "season.sql"));

    // Reading commands do not change an old file; they say what will.
    const LeagueRun old = league({db, "standings"});
    EXPECT_EQ(old.status, kExitFailed);
    EXPECT_NE(old.err.find("schema version 1 is older than this program's 6"), std::string::npos)
        << old.err;

    // The report file of both games: known already, by their reports.
    const LeagueRun imported = league({db, "import", kFixture + "vorskal.log"});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("2 reports: 0 recorded, 2 already recorded"), std::string::npos)
        << imported.out;

    league::LeagueFile file(db, league::LeagueFile::Access::Read);
    EXPECT_EQ(file.db().scalar("PRAGMA user_version"), 6);
    expectAddressMasked(file);
    const nlohmann::json games = leagueJson({db, "games", "--format", "json"})["games"];
    ASSERT_EQ(games.size(), 2u);
    for (const auto& game : games) {
        EXPECT_EQ(game["season"], "1");
        EXPECT_EQ(game["playedOn"], "2026-12-06");  // "12/06/26", month first
    }
    EXPECT_EQ(games[0]["corrections"], 7);  // recorded with --html: its corrections were kept
    EXPECT_EQ(games[0]["warnings"], 2);     // kept before findings could be accepted: none is

    // Rows as they were; the locations, kept with commas before, one key each.
    const nlohmann::json shown = leagueJson({db, "show", "1", "--format", "json"});
    EXPECT_EQ(shown["pilots"].size(), 28u);
    EXPECT_EQ(shown["teams"]["Allied"]["final"], 79);
    for (const auto& warning : shown["warnings"]) {
        EXPECT_EQ(warning["accepted"], false);
        EXPECT_TRUE(warning["subject"].is_null());
    }
    for (const auto& pilot : shown["pilots"]) {
        if (pilot["name"] == "Nungesser") {
            EXPECT_EQ(pilot["locations"], nlohmann::json::parse(R"(["#123", "#58"])"));
        }
    }

    // The same logs tallied again with the same options: the same game.
    GameDir game;
    copySampleGame(game);
    const LeagueRun again = tally({"--record", db, game.path()});
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.err.find("recorded already (game 1)"), std::string::npos) << again.err;
    EXPECT_FALSE(game.exists("vorskal.log"));

    // Other options on the same logs: the same game, known by the merged log
    // the old file kept among its inputs.
    const LeagueRun other = tally({"--record", db, "--all-targets", game.path()});
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find("these logs are game 1, recorded with other settings"),
              std::string::npos)
        << other.err;
    expectPagesWithoutLists(db, dir.path() + "/site", {kTallied, kImported});
}

// Schema 3 re-dated a season's games whenever its dates changed; brought up
// to date, each game keeps the day it had, and is known by its logs.
TEST(MigrationTest, AFileOfSchemaThreeKeepsItsDaysAndKnowsItsGamesLogs) {
    GameDir dir;
    const std::string db = dir.path() + "/season.db";
    league::Connection(db, league::Connection::Mode::Create)
        .exec(bytesOf(std::string(VORSKAL_SOURCE_DIR) + "/tests/league/schema-3/season.sql"));
    GameDir game;
    copySampleGame(game);
    const LeagueRun other = tally({"--record", db, "--all-targets", game.path()});
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.err.find("these logs are game 1, recorded with other settings"),
              std::string::npos)
        << other.err;
    league::LeagueFile file(db, league::LeagueFile::Access::Read);
    EXPECT_EQ(file.db().scalar("PRAGMA user_version"), 6);
    expectAddressMasked(file);
    const nlohmann::json games = leagueJson({db, "games", "--format", "json"})["games"];
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0]["playedOn"], "2026-06-12");  // game 1, as schema 3 left it
    EXPECT_EQ(games[1]["playedOn"], "2026-08-20");
    expectPagesWithoutLists(db, dir.path() + "/site", {kTallied, kTallied});
    EXPECT_EQ(file.db().scalar("SELECT count(*) FROM hidden_pilots"), 0);  // none hidden yet
    // Recorded before kills were kept: none listed, which careers say.
    EXPECT_EQ(file.db().scalar("SELECT count(*) FROM games WHERE kills_listed = 0"), 2);
    EXPECT_EQ(file.db().scalar("SELECT count(*) FROM kills"), 0);
}

}  // namespace
}  // namespace vorskal::testing
