// vorskal-league LEAGUE.db rescore --points FILE: the season's standings
// under another vorskal.ini and other corrections, beside the old ones,
// computed from what the league file stores; the file is not changed,
// unless --apply NEW records the re-scored games as the season NEW.
#include <memory>
#include <vector>

#include "app/league/commands/commands.h"
#include "base/log_text.h"
#include "league/rescore/rescore_apply.h"
#include "league/rescore/rescore_listing.h"
#include "league/store/settings.h"

namespace vorskal {
namespace {

struct RescoreAsked {
    Listing listing;
    std::string points;
    std::optional<std::string> multiDeath, fighterTarget, overMax;
    std::optional<std::string> apply;  // the season to record the re-scored games as
};

std::optional<bool> switchOf(const std::optional<std::string>& word) {
    return word ? std::optional<bool>(*word == "on") : std::nullopt;
}

std::string numbers(const std::vector<std::int64_t>& ids) {
    std::string text;
    for (const std::int64_t id : ids) {
        text += (text.empty() ? "" : ", ") + std::to_string(id);
    }
    return text;
}

void runRescore(LeagueContext& run, const RescoreAsked& asked) {
    league::LeagueFile file(
        run.path,
        asked.apply ? league::LeagueFile::Access::Change : league::LeagueFile::Access::Read,
        run.clock);
    const league::GameFilter filter = filterOf(asked.listing, file);
    const league::Switches switches{switchOf(asked.multiDeath), switchOf(asked.fighterTarget),
                                    switchOf(asked.overMax)};
    if (asked.apply) {
        const league::Applied applied =
            league::applyRescored(file, filter, asked.points, switches, *asked.apply);
        run.out << "recorded " << applied.recorded.size() << " re-scored game"
                << (applied.recorded.size() == 1 ? "" : "s") << " as season "
                << logText(applied.season);
        if (!applied.recorded.empty()) {
            run.out << " (games " << numbers(applied.recorded) << ")";
        }
        run.out << "\n";
        if (!applied.already.empty()) {
            run.out << "re-scored so already: games " << numbers(applied.already) << "\n";
        }
        return;
    }
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
    command
        ->add_option("--apply", asked->apply,
                     "Record the re-scored games as this new season, the old ones untouched")
        ->type_name("NEW")
        ->check([](const std::string& name) { return league::seasonNameFault(name); });
    command->callback([&run, asked] { runRescore(run, *asked); });
}

}  // namespace vorskal
