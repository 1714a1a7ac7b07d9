#include "league/store/schema.h"

#include <stdexcept>

namespace vorskal::league {

namespace {

// Version 1: games with their options, settings and team totals; pilots'
// rows; corrections with their evidence and moves; warnings; input files.
constexpr std::string_view kVersion1 = R"sql(
CREATE TABLE games (
    id INTEGER PRIMARY KEY,
    game_key TEXT NOT NULL UNIQUE,
    origin TEXT NOT NULL CHECK (origin IN ('tally', 'import')),
    report_sha256 TEXT UNIQUE,
    played_on TEXT,
    game_date TEXT NOT NULL DEFAULT '',
    first_time TEXT NOT NULL DEFAULT '',
    last_time TEXT NOT NULL DEFAULT '',
    started_at TEXT NOT NULL DEFAULT '',
    directory TEXT NOT NULL DEFAULT '',
    map TEXT NOT NULL,
    kill_points INTEGER NOT NULL,
    death_points INTEGER NOT NULL,
    over_max_correction INTEGER NOT NULL,
    multi_death_correction INTEGER NOT NULL,
    fighter_target_correction INTEGER NOT NULL,
    red_boxed_only INTEGER NOT NULL,
    tool_name TEXT NOT NULL DEFAULT '',
    tool_version TEXT NOT NULL DEFAULT '',
    recorded_at TEXT NOT NULL
);
CREATE INDEX games_by_date ON games (played_on);
CREATE INDEX games_by_map ON games (map);

CREATE TABLE type_values (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    type TEXT NOT NULL,
    points INTEGER NOT NULL,
    PRIMARY KEY (game_id, position)
);

CREATE TABLE team_totals (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    team TEXT NOT NULL CHECK (team IN ('Allied', 'Hun')),
    kills INTEGER NOT NULL,
    deaths INTEGER NOT NULL,
    targets_destroyed INTEGER NOT NULL,
    target_points INTEGER NOT NULL,
    score INTEGER NOT NULL,
    over_max_penalty INTEGER NOT NULL,
    final INTEGER NOT NULL,
    PRIMARY KEY (game_id, team)
);

CREATE TABLE pilots (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    team TEXT NOT NULL CHECK (team IN ('Allied', 'Hun', 'unknown')),
    team_code INTEGER NOT NULL,
    kills INTEGER NOT NULL,
    deaths INTEGER NOT NULL,
    targets_destroyed INTEGER NOT NULL,
    target_points INTEGER NOT NULL,
    score INTEGER NOT NULL,
    locations TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
);
CREATE INDEX pilots_by_name ON pilots (name, team);

CREATE TABLE corrections (
    id INTEGER PRIMARY KEY,
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    kind TEXT NOT NULL,
    applied INTEGER NOT NULL
);
CREATE INDEX corrections_by_game ON corrections (game_id);

CREATE TABLE correction_lines (
    correction_id INTEGER NOT NULL REFERENCES corrections (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    line INTEGER NOT NULL,
    text TEXT NOT NULL,
    PRIMARY KEY (correction_id, position)
);

CREATE TABLE correction_moves (
    correction_id INTEGER NOT NULL REFERENCES corrections (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    pilot TEXT NOT NULL,
    team TEXT NOT NULL,
    field TEXT NOT NULL,
    by_amount INTEGER NOT NULL,
    points INTEGER NOT NULL,
    PRIMARY KEY (correction_id, position)
);

CREATE TABLE warnings (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    code TEXT NOT NULL,
    file TEXT NOT NULL,
    line INTEGER NOT NULL,
    message TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
);

CREATE TABLE inputs (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    bytes INTEGER NOT NULL,
    lines INTEGER NOT NULL,
    sha256 TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
);
)sql";

// Version 2: seasons and the league's settings; games known by their
// report's key (games recorded before keep the key they had); removed games
// kept until restored; a correction's note; a pilot's locations separated by
// line feeds, which no location holds (a comma may stand in one). The days
// are read again from the log's dates afterwards (season_days.h).
constexpr std::string_view kVersion2 = R"sql(
CREATE TABLE settings (
    name TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
ALTER TABLE games ADD COLUMN season TEXT NOT NULL DEFAULT '1';
ALTER TABLE games ADD COLUMN removed_at TEXT;
CREATE INDEX games_by_season ON games (season, played_on);
ALTER TABLE corrections ADD COLUMN note TEXT NOT NULL DEFAULT '';
UPDATE pilots SET locations = replace(substr(locations, 2), ',', char(10));
)sql";

// Version 3: a warning's subject, and whether the game folder's accepted
// findings listed it (older warnings: no subject, not accepted).
constexpr std::string_view kVersion3 = R"sql(
ALTER TABLE warnings ADD COLUMN subject TEXT NOT NULL DEFAULT '';
ALTER TABLE warnings ADD COLUMN accepted INTEGER NOT NULL DEFAULT 0 CHECK (accepted IN (0, 1));
)sql";

// Version 4: a game is also known by its logs: the merged log's SHA-256,
// size and lines, and the SHA-256 of its first 64 KiB (or of the whole log
// when shorter), and its SHA-256 where each numbered log ends in it: an
// early tally's merged log is one of these beginnings of the complete one's;
// the game a removed version was replaced by. A game's day, once read, stays.
constexpr std::string_view kVersion4 = R"sql(
ALTER TABLE games ADD COLUMN merged_sha256 TEXT;
ALTER TABLE games ADD COLUMN merged_bytes INTEGER;
ALTER TABLE games ADD COLUMN merged_lines INTEGER;
ALTER TABLE games ADD COLUMN start_sha256 TEXT;
ALTER TABLE games ADD COLUMN replaced_by INTEGER;
UPDATE games SET (merged_sha256, merged_bytes, merged_lines) = (SELECT sha256, bytes, lines
    FROM inputs i WHERE i.game_id = games.id AND i.name = 'ux7server.log' AND sha256 != '');
CREATE TABLE log_starts (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    bytes INTEGER NOT NULL,
    lines INTEGER NOT NULL,
    sha256 TEXT NOT NULL,
    PRIMARY KEY (game_id, bytes)
);
CREATE INDEX log_starts_by_sha256 ON log_starts (sha256);
CREATE INDEX games_by_merged_log ON games (merged_sha256);
CREATE INDEX games_by_start ON games (start_sha256);
)sql";

// Version 5, masked addresses: the texts that can quote a log line (the
// corrections' evidence lines and notes, the warnings' messages and
// subjects) lose the players' network addresses, as every game recorded from
// now on does (results/address_mask.h; the function is the connection's,
// kMaskAddressesFunction).
constexpr std::string_view kVersion5Addresses = R"sql(
UPDATE correction_lines SET text = mask_addresses(text) WHERE text != mask_addresses(text);
UPDATE corrections SET note = mask_addresses(note) WHERE note != mask_addresses(note);
UPDATE warnings SET message = mask_addresses(message), subject = mask_addresses(subject)
    WHERE message != mask_addresses(message) OR subject != mask_addresses(subject);
)sql";

// Version 5, the game's page: what the page of a game draws beyond its
// scores, so that the site's page of a recorded game is the tally's own:
// every destruction line with how it was credited or why not (`targets`),
// every entry to and exit from the arena the over-max count took in
// (`arena_events`), the stretches over the limit (`over_max_stretches`) and
// the kills and deaths per minute (`minute_counts`); and whether the game
// has them (`lists_kept`): a game imported from its report, or recorded
// before, has none, which says nothing of how the game went.
constexpr std::string_view kVersion5PageLists = R"sql(
ALTER TABLE games ADD COLUMN lists_kept INTEGER NOT NULL DEFAULT 0 CHECK (lists_kept IN (0, 1));
CREATE TABLE targets (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    line INTEGER NOT NULL,
    text TEXT NOT NULL,
    location TEXT NOT NULL,
    target_type TEXT NOT NULL,
    team TEXT NOT NULL CHECK (team IN ('Allied', 'Hun', 'unknown')),
    team_code INTEGER NOT NULL,
    points INTEGER NOT NULL,
    red_boxed INTEGER NOT NULL CHECK (red_boxed IN (0, 1)),
    pilot TEXT NOT NULL,
    reason TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
);
CREATE TABLE arena_events (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    line INTEGER NOT NULL,
    time TEXT NOT NULL,
    seconds INTEGER NOT NULL,
    side TEXT NOT NULL CHECK (side IN ('Allied', 'Hun', 'unknown')),
    event TEXT NOT NULL CHECK (event IN ('entry', 'exit')),
    pilot TEXT NOT NULL,
    in_game_after INTEGER NOT NULL,
    PRIMARY KEY (game_id, position)
);
CREATE TABLE over_max_stretches (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    side TEXT NOT NULL CHECK (side IN ('Allied', 'Hun', 'unknown')),
    pilot_number INTEGER NOT NULL,
    start_time TEXT NOT NULL,
    end_time TEXT NOT NULL,
    minutes REAL NOT NULL,
    points INTEGER NOT NULL,
    PRIMARY KEY (game_id, position)
);
CREATE TABLE minute_counts (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    minute INTEGER NOT NULL,
    allied_kills INTEGER NOT NULL,
    hun_kills INTEGER NOT NULL,
    allied_deaths INTEGER NOT NULL,
    hun_deaths INTEGER NOT NULL,
    allied_kills_taken_back INTEGER NOT NULL,
    hun_kills_taken_back INTEGER NOT NULL,
    allied_deaths_taken_back INTEGER NOT NULL,
    hun_deaths_taken_back INTEGER NOT NULL,
    PRIMARY KEY (game_id, minute)
);
)sql";

// Version 5, hidden pilots: the pilots shown on the site, its downloads and
// posts under a pseudonym ("Hidden pilot <number>"). A number is given once,
// in the order of hiding, and never to another name: a pilot shown again
// keeps his row (hidden 0) and gets his number back when hidden again.
constexpr std::string_view kVersion5HiddenPilots = R"sql(
CREATE TABLE hidden_pilots (
    number INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE,
    hidden INTEGER NOT NULL CHECK (hidden IN (0, 1))
);
)sql";

// Version 5, conflicts: games that arrived under the key or report digest of
// a game in the file with other contents (game_contents.h), refused and kept
// for `check` to list.
constexpr std::string_view kVersion5Conflicts = R"sql(
CREATE TABLE conflicts (
    id INTEGER PRIMARY KEY,
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    arrived_at TEXT NOT NULL,
    source TEXT NOT NULL,
    differences TEXT NOT NULL,
    UNIQUE (game_id, source, differences)
);
)sql";

// Version 6: every kill line of a game, for careers, matchups and ratings. Games recorded
// before, and games read back from a report, have none: their kills_listed is 0.
constexpr std::string_view kVersion6 = R"sql(
ALTER TABLE games ADD COLUMN kills_listed INTEGER NOT NULL DEFAULT 0;
CREATE TABLE kills (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,          -- from 0, in log order
    line INTEGER NOT NULL,              -- of the merged log
    time TEXT NOT NULL,                 -- "HH:MM:SS"
    victim TEXT NOT NULL,
    victim_aircraft TEXT NOT NULL,
    victim_side TEXT NOT NULL CHECK (victim_side IN ('Allied', 'Hun', 'unknown')),
    killer TEXT,                        -- NULL: the line has no "awarded to "
    killer_aircraft TEXT NOT NULL,
    killer_side TEXT NOT NULL CHECK (killer_side IN ('Allied', 'Hun', 'unknown')),
    self_kill INTEGER NOT NULL,
    taken_back_by INTEGER,              -- NULL: counts; else the correction's number
    PRIMARY KEY (game_id, position)
);
CREATE INDEX kills_by_killer ON kills (killer);
CREATE INDEX kills_by_victim ON kills (victim);
)sql";

}  // namespace

std::string migrationTo(std::int64_t version) {
    switch (version) {
        case 1:
            return std::string(kVersion1);
        case 2:
            return std::string(kVersion2);
        case 3:
            return std::string(kVersion3);
        case 4:
            return std::string(kVersion4);
        case 5:  // its parts above, in one step
            return std::string(kVersion5PageLists) + std::string(kVersion5HiddenPilots) +
                   std::string(kVersion5Conflicts) + std::string(kVersion5Addresses);
        case 6:
            return std::string(kVersion6);
        default:
            throw std::out_of_range("no migration to schema version " + std::to_string(version));
    }
}

}  // namespace vorskal::league
