// `vorskal-league post`: the summary sent to a receiver on 127.0.0.1 that
// this test starts; a receiver that fails twice and then takes it; one that
// never answers (each try ends at the timeout); and the webhook's address,
// which may hold a token, never printed.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/league/league_support.h"
#include "tests/support/game_dir.h"

namespace vorskal::testing {
namespace {

using results::Side;

// Answers each request with the next status of its list (the last one
// again when the list runs out); 0: never answers.
class Receiver {
  public:
    explicit Receiver(std::vector<int> statuses) : statuses_(std::move(statuses)) {
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
            const int status = statuses_[std::min(n++, statuses_.size() - 1)];
            if (status == 0) {
                silent_.push_back(fd);
                continue;
            }
            const std::string answer = "HTTP/1.1 " + std::to_string(status) +
                                       " X\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            (void)!write(fd, answer.data(), answer.size());
            close(fd);
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

    std::vector<int> statuses_;
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
    GameDir dir_;
    std::string db_;
};

TEST_F(PostTest, TheSummaryInBothFormsAndTheAddressNeverShown) {
    Receiver receiver({200});
    ASSERT_EQ(league({db_, "set", "webhook", receiver.address()}).out,
              "Set webhook in " + db_ + " (its address is not shown)\n");
    ASSERT_EQ(league({db_, "set", "site-address", "https://zorl.example/site"}).status, 0);
    const LeagueRun listed = league({db_, "set"});
    EXPECT_NE(listed.out.find("webhook (set, not shown)\nsite-address https://zorl.example/site"),
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

TEST_F(PostTest, FailuresAreTriedAgainAndATimeoutEndsEachTry) {
    const struct {
        std::vector<int> statuses;
        std::vector<std::string> extra;
        int status;
        std::size_t requests;
        std::string said;
    } cases[] = {
        {{500, 503, 200}, {}, 0, 3, ""},
        {{500}, {"--tries", "2"}, kExitFailed, 2, "game 1 not posted: HTTP 500 (2 tries)"},
        {{404, 200}, {}, kExitFailed, 1, "game 1 not posted: HTTP 404 (1 try)"},
        {{0},
         {"--timeout", "0.5", "--tries", "2"},
         kExitFailed,
         2,
         "game 1 not posted: Timeout was reached (2 tries)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        Receiver receiver(c.statuses);
        setenv("VORSKAL_WEBHOOK", receiver.address().c_str(), 1);
        std::vector<std::string> args = {db_, "post", "1"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto start = std::chrono::steady_clock::now();
        const LeagueRun run = league(args);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(receiver.bodies().size(), c.requests);
        if (!c.said.empty()) {
            EXPECT_EQ(run.err, "vorskal-league: " + c.said + "\n");
        }
        EXPECT_EQ(run.err.find("secret"), std::string::npos);
        if (c.statuses[0] == 0) {
            // Two tries of half a second and one wait of a second between them.
            EXPECT_GE(seconds, 1.9);
            EXPECT_LT(seconds, 6.0);
        }
    }
    unsetenv("VORSKAL_WEBHOOK");
    const LeagueRun none = league({db_, "post", "1"});
    EXPECT_EQ(none.status, kExitFailed);
    EXPECT_NE(none.err.find("no webhook to post to"), std::string::npos) << none.err;
}

// vorskal-tally --record --post: the game just recorded (game 2 of the
// file) is posted; a receiver that refuses leaves the game recorded and
// says how to post it again.
TEST_F(PostTest, TheTallyPostsTheGameItRecorded) {
    for (const int status : {200, 400}) {
        Receiver receiver({status});
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
    unsetenv("VORSKAL_WEBHOOK");
}

}  // namespace
}  // namespace vorskal::testing
