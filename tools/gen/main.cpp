// vorskal-gen: writes a game directory for trying and timing the tally.
//   vorskal-gen --seed 7 --size 100M --pieces 4 DIR
#include <CLI/CLI.hpp>
#include <exception>
#include <filesystem>
#include <iostream>

#include "gen/generator.h"

int main(int argc, char** argv) {
    CLI::App app{
        "Writes a game directory for the VORSKAL tally: the numbered server logs "
        "ux7server0.log, ux7server1.log, ... (about SIZE bytes in all, lines ended by CR LF, "
        "each line's date written month/day/year as the game server writes it, e.g. "
        "12/06/26) and vorskal.ini. The same seed gives the same bytes.",
        "vorskal-gen"};
    std::uint64_t seed = 1;
    std::string size = "10M";
    int pieces = 3;
    std::string directory;
    bool quiet = false;
    std::string dateOrder = "mdy";
    app.add_option("--seed", seed, "seed of the game")->capture_default_str();
    app.add_option("--size", size, "size of the logs: bytes, or with K, M or G (1024 based)")
        ->capture_default_str();
    app.add_option("--pieces", pieces, "number of numbered logs")
        ->check(CLI::Range(1, 100000))
        ->capture_default_str();
    app.add_flag("-q,--quiet", quiet, "print nothing on success");
    app.add_option("--date-order", dateOrder,
                   "order of the log's dates: mdy (month/day/year) or dmy (day/month/year)")
        ->check(CLI::IsMember({"mdy", "dmy"}))
        ->capture_default_str();
    app.add_option("DIR", directory, "game directory (created when missing)")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    const auto bytes = vorskal::gen::parseSize(size);
    if (!bytes || *bytes == 0) {
        std::cerr << "vorskal-gen: --size " << size << " is not a size\n";
        return 64;
    }
    try {
        std::filesystem::create_directories(directory);
        const vorskal::gen::GameSummary summary = vorskal::gen::writeGameDirectory(
            vorskal::gen::GameOptions{seed, *bytes, pieces, dateOrder == "dmy"}, directory);
        if (!quiet) {
            std::cout << vorskal::gen::describe(summary);
        }
    } catch (const std::exception& e) {
        std::cerr << "vorskal-gen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
