// vorskal-league LEAGUE.db ratings: the pilots' Glicko-2 ratings in one role,
// from the kills the league file keeps.
#include <memory>

#include "app/league/commands/commands.h"
#include "league/listings/ratings.h"

namespace vorskal {
namespace {

struct RatingsAsked {
    Listing listing;
    std::string role = "fighter";
};

void runRatings(LeagueContext& run, const RatingsAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::GameFilter filter = filterOf(asked.listing, file);
    const league::RatingRole role =
        asked.role == "two-seater" ? league::RatingRole::TwoSeater : league::RatingRole::Fighter;
    const auto all = league::rateGames(league::ratedGames(file, filter));
    league::writeRatings(run.out, league::ratingsOf(all, role), role, formatOf(asked.listing),
                         league::describeFilter(filter));
}

}  // namespace

void addRatings(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<RatingsAsked>();
    CLI::App* command = app.add_subcommand(
        "ratings", "Pilots' Glicko-2 ratings in one role, from every kill of the games kept");
    command->add_option("--role", asked->role, "fighter (default) or two-seater")
        ->check(CLI::IsMember({"fighter", "two-seater"}));
    CLI::Option* season =
        command->add_option("--season", asked->listing.season,
                            "Only the games of this season (default: the current season)");
    command->add_flag("--all-seasons", asked->listing.allSeasons, "The games of every season")
        ->excludes(season);
    command->add_option("--format", asked->listing.format, "Output format (default: text)")
        ->check(CLI::IsMember({"text", "json"}));
    command->callback([&run, asked] { runRatings(run, *asked); });
}

}  // namespace vorskal
