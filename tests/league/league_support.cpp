#include "tests/league/league_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "app/cli/runner.h"
#include "league/store/league_file.h"
#include "tests/support/game_dir.h"
#include "tests/support/memory_files.h"
#include "tests/support/scenarios.h"

// Child processes for the tests of concurrency and of users, which the
// Windows build leaves out (they include POSIX headers).
#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace vorskal::testing {

results::GameResults handGame(const std::string& map, const std::string& date,
                              const std::vector<Row>& rows, std::int64_t alliedPenalty) {
    results::GameResults game;
    game.settings.map = map;
    game.gameDate = date;
    for (const Row& r : rows) {
        game.pilots.push_back({r.name,
                               r.team,
                               r.team == results::Side::Allied ? 1 : 2,
                               r.kills,
                               r.deaths,
                               r.targets,
                               r.targetPoints,
                               {},
                               r.score});
        results::TeamTotals* totals = r.team == results::Side::Allied ? &game.allied
                                      : r.team == results::Side::Hun  ? &game.hun
                                                                      : nullptr;
        if (totals != nullptr) {
            totals->kills += r.kills;
            totals->deaths += r.deaths;
            totals->targetsDestroyed += r.targets;
            totals->targetPoints += r.targetPoints;
            totals->score += r.score;
        }
    }
    game.allied.overMaxPenalty = alliedPenalty;
    game.allied.final = game.allied.score - alliedPenalty;
    game.hun.final = game.hun.score;
    // The points per kill and death the rows were scored with: 10 and -5
    // where no two rows tell otherwise.
    game.settings.killPoints = 10;
    game.settings.deathPoints = -5;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            const Row& a = rows[i];
            const Row& b = rows[j];
            const std::int64_t det = a.kills * b.deaths - b.kills * a.deaths;
            if (det != 0) {
                const std::int64_t ra = a.score - a.targetPoints;
                const std::int64_t rb = b.score - b.targetPoints;
                game.settings.killPoints = (ra * b.deaths - rb * a.deaths) / det;
                game.settings.deathPoints = (a.kills * rb - b.kills * ra) / det;
                return game;
            }
        }
    }
    for (const Row& r : rows) {
        if (r.kills != 0 && r.deaths == 0) {
            game.settings.killPoints = (r.score - r.targetPoints) / r.kills;
        } else if (r.deaths != 0 && r.kills == 0) {
            game.settings.deathPoints = (r.score - r.targetPoints) / r.deaths;
        }
    }
    for (const Row& r : rows) {
        if (r.kills != 0 && r.deaths != 0) {
            game.settings.deathPoints =
                (r.score - r.targetPoints - r.kills * game.settings.killPoints) / r.deaths;
        }
    }
    return game;
}

void recordHand(const std::string& db, const results::GameResults& game, const std::string& key) {
    league::LeagueFile file(db, league::LeagueFile::Access::Write);
    league::recordGame(file, game, nullptr, handIdentity(key), {});
}

namespace {

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

// Every run at the same moment, so that what it records is known beforehand.
LeagueRun inProcess(std::string program, std::vector<std::string> args,
                    int (*command)(int, const char* const*, std::ostream&, std::ostream&, Clock&)) {
    args.insert(args.begin(), std::move(program));
    const std::vector<char*> argv = argvOf(args);
    std::ostringstream out;
    std::ostringstream err;
    FixedClock clock;
    const int status = command(static_cast<int>(args.size()), argv.data(), out, err, clock);
    return {status, out.str(), err.str()};
}

}  // namespace

LeagueRun league(const std::vector<std::string>& args) {
    return inProcess("vorskal-league", args, runLeagueCommand);
}

LeagueRun tally(const std::vector<std::string>& args) {
    return inProcess("vorskal-tally", args, runTallyCommand);
}

nlohmann::json leagueJson(const std::vector<std::string>& args) {
    const LeagueRun run = league(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return nlohmann::json::parse(run.out);
}

#if !defined(_WIN32)

pid_t spawn(const std::vector<std::string>& argv) {
    const std::vector<char*> args = argvOf(argv);
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

pid_t spawnPaused(const std::string& mark, int ms, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {VORSKAL_PAUSED_RECORDER, mark, std::to_string(ms)};
    argv.insert(argv.end(), args.begin(), args.end());
    return spawn(argv);
}

int waitFor(pid_t pid) {
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

LeagueRun runAsOrdinaryUser(const std::vector<std::string>& argv) {
    GameDir outputs;
    const std::string out = outputs.path() + "/out";
    const std::string err = outputs.path() + "/err";
    const pid_t pid = fork();
    if (pid == 0) {
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(outFd, 1);
        dup2(errFd, 2);
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(126);
        }
        const std::vector<char*> args = argvOf(argv);
        execv(args[0], args.data());
        _exit(127);
    }
    const int status = waitFor(pid);
    return {status, bytesOf(out), bytesOf(err)};
}

#endif

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string reportFile(const std::vector<std::string>& scenarios,
                       const std::vector<std::string>& times) {
    std::string file;
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        std::string report =
            expectedReport(std::string(VORSKAL_SOURCE_DIR) + "/tests/scenarios/" + scenarios[i]);
        const std::size_t at = report.find("<TIME>");
        report.replace(at, 6, times[i]);
        file += report;
    }
    return file;
}

std::vector<Scenario> completedScenarios() {
    std::vector<Scenario> found = allScenarios(VORSKAL_SOURCE_DIR);
    std::erase_if(found, [](const Scenario& s) { return !s.completes; });
    return found;
}

void copyInputs(const Scenario& s, const GameDir& dir) {
    for (const auto& [name, bytes] : s.inputs) {
        dir.write(name, bytes);
    }
}

void copySampleGame(const GameDir& dir) {
    const std::string sample = std::string(VORSKAL_SOURCE_DIR) + "/examples/sample-game/";
    for (const char* name : {"ux7server0.log", "ux7server1.log", "ux7server2.log", "vorskal.ini"}) {
        dir.write(name, bytesOf(sample + name));
    }
}

}  // namespace vorskal::testing
