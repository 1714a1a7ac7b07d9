// `vorskal-league post`, to a receiver on 127.0.0.1 that this test starts.
// The webhook's address may hold a token: never printed, nor kept.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>
#include <utility>
#include <vector>

#include "league/store/league_file.h"
#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using results::Side;

// What the receiver does with a request: answers with a status (and a
// header line), or one of the misdeeds below.
constexpr int kSilent = 0;   // reads it and never answers
constexpr int kHangUp = -1;  // reads it and closes the connection
constexpr int kCut = -2;     // answers 200, then never sends the body it announced
struct Answer {
    int status;
    std::string header = {};
};

// Answers each request with the next answer of its list (the last one
// again when the list runs out).
class Receiver {
  public:
    explicit Receiver(std::vector<Answer> answers) : answers_(std::move(answers)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 8);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~Receiver() {
        stop_ = true;
        thread_.join();
        for (const int fd : silent_) {
            close(fd);
        }
        close(listener_);
    }
    std::string address() const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/hook?token=secret-7f3a";
    }
    std::vector<std::string> bodies() {
        std::lock_guard<std::mutex> lock(mutex_);
        return bodies_;
    }

  private:
    void serve() {
        for (std::size_t n = 0; !stop_;) {
            pollfd wait{listener_, POLLIN, 0};
            if (poll(&wait, 1, 50) <= 0) {
                continue;
            }
            const int fd = accept(listener_, nullptr, nullptr);
            const std::string body = readRequest(fd);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                bodies_.push_back(body);
            }
            const Answer& answer = answers_[std::min(n++, answers_.size() - 1)];
            std::string text = "HTTP/1.1 " + std::to_string(answer.status) + " X\r\n" +
                               answer.header + "Content-Length: 0\r\nConnection: close\r\n\r\n";
            if (answer.status == kCut) {
                text = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
            }
            if (answer.status != kSilent && answer.status != kHangUp) {
                (void)!write(fd, text.data(), text.size());
            }
            if (answer.status == kSilent || answer.status == kCut) {
                silent_.push_back(fd);
            } else {
                close(fd);
            }
        }
    }
    static std::string readRequest(int fd) {
        std::string got;
        char buffer[4096];
        std::size_t end = std::string::npos;
        std::size_t length = 0;
        while (true) {
            if (end == std::string::npos && (end = got.find("\r\n\r\n")) != std::string::npos) {
                const std::size_t at = got.find("Content-Length: ");
                length = at < end ? std::stoul(got.substr(at + 16)) : 0;
            }
            if (end != std::string::npos && got.size() >= end + 4 + length) {
                return got.substr(end + 4, length);
            }
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                return got;
            }
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }

    std::vector<Answer> answers_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> bodies_;
    std::vector<int> silent_;
};

class PostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("VORSKAL_WEBHOOK");
        // The user's own webhook file, in a folder of the test's.
        if (const char* was = std::getenv("XDG_CONFIG_HOME")) {
            savedConfig_ = was;
        }
        setenv("XDG_CONFIG_HOME", (dir_.path() + "/config").c_str(), 1);
        db_ = dir_.path() + "/season.db";
        results::GameResults game = handGame("Verdun", "12/06/26",
                                             {{"Snoopy", Side::Allied, 5, 0, 0, 0, 50},
                                              {"Udet", Side::Hun, 4, 1, 0, 0, 40},
                                              {"Biggles", Side::Allied, 3, 2, 0, 0, 30},
                                              {"Baron", Side::Hun, 4, 0, 1, 5, 45}},
                                             6);
        game.corrections.push_back({results::CorrectionKind::OverMax, true, "", {}, {}});
        game.corrections.push_back({results::CorrectionKind::FighterTarget, false, "", {}, {}});
        recordHand(db_, game, "c0ffee");
    }
    void TearDown() override {
        unsetenv("VORSKAL_WEBHOOK");
        if (savedConfig_) {
            setenv("XDG_CONFIG_HOME", savedConfig_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }
    std::string userFile() const { return dir_.path() + "/config/vorskal/webhook"; }
    GameDir dir_;
    std::string db_;
    std::optional<std::string> savedConfig_;
};

TEST_F(PostTest, TheSummaryInBothFormsAndTheAddressNeverShown) {
    Receiver receiver({Answer{200}});
    ASSERT_EQ(league({db_, "set", "webhook", receiver.address()}).out,
              "Set webhook in " + userFile() + " (its address is not shown)\n");
    ASSERT_EQ(league({db_, "set", "site-address", "https://zorl.example/site"}).status, 0);
    const LeagueRun listed = league({db_, "set"});
    EXPECT_NE(listed.out.find("webhook (set in " + userFile() +
                              ", not shown)\nsite-address https://zorl.example/site"),
              std::string::npos)
        << listed.out;
    EXPECT_EQ(listed.out.find("secret"), std::string::npos);

    const LeagueRun chat = league({db_, "post", "1"});
    EXPECT_EQ(chat.out, "Posted game 1 to the webhook\n") << chat.err;
    const LeagueRun plain = league({db_, "post", "c0ff", "--plain"});
    EXPECT_EQ(plain.status, 0) << plain.err;
    const std::vector<std::string> bodies = receiver.bodies();
    ASSERT_EQ(bodies.size(), 2u);
    // Allied 80 less the penalty of 6; Hun 85.
    const std::string text =
        "Game 1 (season 1): Verdun, played 2026-12-06\n"
        "Allied 74, Hun 85 (Hun win)\n"
        "Top pilots: Snoopy (Allied) 50, Baron (Hun) 45, Udet (Hun) 40\n"
        "Corrections applied: 1\n"
        "https://zorl.example/site/games/game-1.html\n";
    EXPECT_EQ(nlohmann::json::parse(bodies[0]),
              (nlohmann::json{{"text", text}, {"content", text}}));
    const nlohmann::json facts = nlohmann::json::parse(bodies[1]);
    EXPECT_EQ(facts["formatVersion"], 1);
    EXPECT_EQ(facts["key"], "c0ffee");
    EXPECT_EQ(facts["playedOn"], "2026-12-06");
    EXPECT_EQ(facts["allied"], 74);
    EXPECT_EQ(facts["hun"], 85);
    EXPECT_EQ(facts["topPilots"][1],
              (nlohmann::json{{"name", "Baron"}, {"team", "Hun"}, {"score", 45}}));
    EXPECT_EQ(facts["correctionsApplied"], 1);
    EXPECT_EQ(facts["page"], "https://zorl.example/site/games/game-1.html");
}

// Tried again only while the receiver cannot have taken it. The first wait
// is a second and doubles; a Retry-After asks for longer.
TEST_F(PostTest, TriedAgainOnlyWhileTheReceiverHasNotTakenIt) {
    const std::string maybe = "game 1 perhaps not posted: ";
    const std::string notSentAgain =
        " after the summary was sent, so it was not sent again (1 try)";
    const struct {
        std::vector<Answer> answers;
        std::vector<std::string> extra;
        int status;
        std::size_t requests;
        std::string said;  // the whole message, or its start and end around " ... "
        double atLeast;    // seconds the tries take
    } cases[] = {
        {{{500}, {503}, {200}}, {}, 0, 3, "", 3.0},
        {{{500}}, {"--tries", "2"}, kExitFailed, 2, "game 1 not posted: HTTP 500 (2 tries)", 1.0},
        {{{404}, {200}}, {}, kExitFailed, 1, "game 1 not posted: HTTP 404 (1 try)", 0},
        // A gateway that gave up waiting may have handed it on.
        {{{504}, {200}}, {}, kExitFailed, 1, "game 1 not posted: HTTP 504 (1 try)", 0},
        // Taken, then the answer was lost: never sent a second time.
        {{{kSilent}, {200}},
         {"--timeout", "0.5"},
         kExitFailed,
         1,
         maybe + "Timeout was reached" + notSentAgain,
         0.5},
        {{{kHangUp}, {200}}, {}, kExitFailed, 1, maybe + " ... " + notSentAgain, 0},
        {{{kCut}, {500}}, {"--timeout", "0.5"}, 0, 1, "", 0.5},
        // Retry-After: two seconds, more than the first wait of one.
        {{{429, "Retry-After: 2\r\n"}, {200}}, {}, 0, 2, "", 2.0},
        {{{503, "retry-after:  61 \r\n"}},
         {},
         kExitFailed,
         1,
         "game 1 not posted: HTTP 503, and its Retry-After asks for 61 s, more than the 60 s "
         "this waits (1 try)",
         0},
        {{{429, "Retry-After: Wed, 21 Oct 2099 07:28:00 GMT\r\n"}},
         {},
         kExitFailed,
         1,
         "game 1 not posted: HTTP 429, and its Retry-After asks for ... more than the 60 s this "
         "waits (1 try)",
         0},
        // Only a 429 or a 503 sets the wait.
        {{{500, "Retry-After: 61\r\n"}, {200}}, {}, 0, 2, "", 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said + " " + std::to_string(c.answers[0].status));
        Receiver receiver(c.answers);
        setenv("VORSKAL_WEBHOOK", receiver.address().c_str(), 1);
        std::vector<std::string> args = {db_, "post", "1"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto start = std::chrono::steady_clock::now();
        const LeagueRun run = league(args);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(receiver.bodies().size(), c.requests);
        const std::size_t gap = c.said.find(" ... ");
        const std::string said = "vorskal-league: " + c.said + "\n";
        if (c.said.empty()) {
            EXPECT_EQ(run.err, "");
        } else if (gap == std::string::npos) {
            EXPECT_EQ(run.err, said);
        } else {
            EXPECT_EQ(run.err.substr(0, gap + 16), said.substr(0, gap + 16)) << run.err;
            const std::string end = said.substr(gap + 16 + 5);
            EXPECT_EQ(run.err.substr(run.err.size() - std::min(end.size(), run.err.size())), end)
                << run.err;
        }
        EXPECT_EQ(run.err.find("secret"), std::string::npos);
        EXPECT_GE(seconds, c.atLeast * 0.95);
        EXPECT_LT(seconds, c.atLeast + 3.0);
    }

    // Nobody listens (a receiver gone, its port closed): tried again, as
    // nothing reached a receiver.
    {
        const Receiver gone({Answer{200}});
        setenv("VORSKAL_WEBHOOK", gone.address().c_str(), 1);
    }
    const LeagueRun refused = league({db_, "post", "1", "--tries", "2"});
    EXPECT_EQ(refused.status, kExitFailed);
    EXPECT_EQ(refused.err.rfind("vorskal-league: game 1 not posted: ", 0), 0u) << refused.err;
    EXPECT_NE(refused.err.find(" (2 tries)\n"), std::string::npos) << refused.err;
}

// The game just recorded (game 2) is posted; a refusal leaves it recorded.
TEST_F(PostTest, TheTallyPostsTheGameItRecorded) {
    for (const int status : {200, 400}) {
        Receiver receiver({Answer{status}});
        setenv("VORSKAL_WEBHOOK", receiver.address().c_str(), 1);
        GameDir game;
        copySampleGame(game);
        const LeagueRun run = tally({"--record", db_, "--replace", "--post", game.path()});
        const std::vector<std::string> bodies = receiver.bodies();
        ASSERT_EQ(bodies.size(), 1u) << run.err;
        EXPECT_EQ(nlohmann::json::parse(bodies[0])["text"].get<std::string>().rfind(
                      "Game 2 (season 1): ", 0),
                  0u);
        if (status == 200) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_NE(run.out.find("Posted game 2 to the webhook\n"), std::string::npos);
        } else {
            EXPECT_EQ(run.status, 2);
            EXPECT_NE(run.err.find(": game 2 not posted: HTTP 400 (1 try); the game is recorded: "
                                   "vorskal-league " +
                                   db_ + " post 2 posts it\n"),
                      std::string::npos)
                << run.err;
        }
    }
}

TEST_F(PostTest, TheTallyChecksTheWebhookBeforeItRecords) {
    const struct {
        const char* environment;  // nullptr: none set
        std::string said;
    } cases[] = {
        {nullptr, "no webhook to post to"},
        {"http://127.0.0.1:9/hook\x1b[2J", "VORSKAL_WEBHOOK: the webhook is not a plain"},
        {"ftp://127.0.0.1/hook", "VORSKAL_WEBHOOK: the webhook is not a plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        if (c.environment != nullptr) {
            setenv("VORSKAL_WEBHOOK", c.environment, 1);
        } else {
            unsetenv("VORSKAL_WEBHOOK");
        }
        GameDir game;
        copySampleGame(game);
        const LeagueRun run = tally({"--record", db_, "--post", game.path()});
        EXPECT_EQ(run.status, kExitFailed);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("; nothing done\n"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(game.path() + "/vorskal.log"));
        league::LeagueFile file(db_, league::LeagueFile::Access::Read);
        league::Statement count = file.db().prepare("SELECT count(*) FROM games");
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.integer(0), 1);  // the hand-made game of SetUp only
    }
}

// An address an older league file holds still posts, with a warning, until
// `set webhook from-league` moves it out of the file's bytes.
TEST_F(PostTest, TheWebhookLeavesTheLeagueFile) {
    Receiver receiver({Answer{200}});
    {
        league::LeagueFile file(db_, league::LeagueFile::Access::Change);
        file.db()
            .prepare("INSERT INTO settings (name, value) VALUES ('webhook', ?)")
            .bind(1, receiver.address())
            .run();
    }
    const std::string move =
        "vorskal-league " + db_ + " set webhook from-league moves it to " + userFile() + "\n";
    const LeagueRun old = league({db_, "post", "1"});
    EXPECT_EQ(old.out, "Posted game 1 to the webhook\n") << old.err;
    EXPECT_EQ(old.err,
              "vorskal-league: warning: " + db_ +
                  " holds the webhook's address, and a league file is sent to others: " + move);
    EXPECT_NE(league({db_, "set"})
                  .out.find("webhook (set in " + db_ +
                            ", not shown; set webhook from-league moves it out)\n"),
              std::string::npos);

    EXPECT_EQ(league({db_, "set", "webhook", "from-league"}).out,
              "Moved the webhook to " + userFile() + " (its address is not shown); " + db_ +
                  " holds it no more\n");
    EXPECT_EQ(bytesOf(userFile()), receiver.address() + "\n");
    EXPECT_EQ(bytesOf(db_).find("secret-7f3a"), std::string::npos);
    const LeagueRun now = league({db_, "post", "1"});
    EXPECT_EQ(now.status, 0) << now.err;
    EXPECT_EQ(now.err, "");
    EXPECT_EQ(receiver.bodies().size(), 2u);
    const LeagueRun again = league({db_, "set", "webhook", "from-league"});
    EXPECT_EQ(again.status, kExitFailed);
    EXPECT_EQ(again.err, "vorskal-league: " + db_ + " holds no webhook to move\n");

    // Only a plain http(s) address is taken, the one set stays; the site's
    // address and the league's name are shown on pages and in terminals: no
    // control byte (an escape, a DEL, a tab) gets in.
    const std::string plain = "webhook is an address that begins with http:// or https://";
    for (const auto& [setting, bad, said] : std::vector<std::array<std::string, 3>>{
             {"webhook", "http://zorl.example/hook\x1b]0;x\x07", plain},
             {"webhook", "http://zorl.example/a b", plain},
             {"webhook", "http://", plain},
             {"webhook", "https:///hook", plain},
             {"webhook", "http://zorl.example/\r\nX-Evil: 1", plain},
             {"webhook", "ftp://zorl.example/", plain},
             {"webhook", "http://zörl.example/", plain},
             {"site-address", "https://zorl.example/\x1b[2J", "control bytes"},
             {"site-address", "https://zorl.example/\x7f", "control bytes"},
             {"league-name", "Flanders\x1b[31m", "control bytes"},
             {"league-name", "Flanders\tLeague", "control bytes"}}) {
        SCOPED_TRACE(setting + " " + bad);
        const LeagueRun refused = league({db_, "set", setting, bad});
        EXPECT_EQ(refused.status, kExitUsage);
        EXPECT_NE(refused.err.find(said), std::string::npos) << refused.err;
    }
    EXPECT_EQ(bytesOf(userFile()), receiver.address() + "\n");
}

}  // namespace
}  // namespace vorskal::testing
