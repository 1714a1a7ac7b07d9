// vorskal-league LEAGUE.db rescore --points FILE: the season's standings
// under another vorskal.ini and other corrections, beside the old ones,
// computed from what the league file stores; the file is not changed.
#include <memory>

#include "app/league/commands/commands.h"
#include "league/rescore/rescore_listing.h"

namespace vorskal {
namespace {

struct RescoreAsked {
    Listing listing;
    std::string points;
    std::optional<std::string> multiDeath, fighterTarget, overMax;
};

std::optional<bool> switchOf(const std::optional<std::string>& word) {
    return word ? std::optional<bool>(*word == "on") : std::nullopt;
}

void runRescore(LeagueContext& run, const RescoreAsked& asked) {
    league::LeagueFile file(run.path, league::LeagueFile::Access::Read, run.clock);
    const league::GameFilter filter = filterOf(asked.listing, file);
    const league::Switches switches{switchOf(asked.multiDeath), switchOf(asked.fighterTarget),
                                    switchOf(asked.overMax)};
    league::writeRescored(run.out, league::rescoreGames(file, filter, asked.points, switches),
                          formatOf(asked.listing), league::describeFilter(filter));
}

}  // namespace

void addRescore(CLI::App& app, LeagueContext& run) {
    auto asked = std::make_shared<RescoreAsked>();
    CLI::App* command = app.add_subcommand(
        "rescore",
        "The standings under another vorskal.ini and other corrections, beside the old ones");
    command->add_option("--points", asked->points, "The other vorskal.ini")
        ->required()
        ->type_name("FILE");
    addFilter(*command, asked->listing);
    command->add_option("--format", asked->listing.format, "Output format (default: text)")
        ->check(CLI::IsMember({"text", "csv", "json"}));
    const auto onOff = CLI::IsMember({"on", "off"});
    command
        ->add_option("--multi-death-correction", asked->multiDeath,
                     "on or off (default: as each game was tallied)")
        ->check(onOff);
    command
        ->add_option("--fighter-target-correction", asked->fighterTarget,
                     "on or off (default: as each game was tallied)")
        ->check(onOff);
    command
        ->add_option("--over-max-correction", asked->overMax,
                     "on or off (default: as each game was tallied)")
        ->check(onOff);
    command->callback([&run, asked] { runRescore(run, *asked); });
}

}  // namespace vorskal
