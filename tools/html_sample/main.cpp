// vorskal-html-sample: writes the page of a made-up game, and says how long
// drawing it took and how large it is.
//   vorskal-html-sample --hours 12 --pilots 40 page.html
#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>

#include "html/game_page.h"
#include "html_sample/sample_game.h"

int main(int argc, char** argv) {
    CLI::App app{"Writes the HTML page of a made-up game and times the drawing.",
                 "vorskal-html-sample"};
    vorskal::sample::SampleOptions options;
    int repeat = 1;
    std::string path;
    app.add_option("--hours", options.hours, "length of the game")
        ->check(CLI::Range(1, 48))
        ->capture_default_str();
    app.add_option("--pilots", options.pilotsPerSide, "pilots of each side")
        ->check(CLI::Range(1, 47))
        ->capture_default_str();
    app.add_option("--seed", options.seed, "seed of the game")->capture_default_str();
    app.add_option("--repeat", repeat, "draw this many times and give the fastest")
        ->check(CLI::Range(1, 1000))
        ->capture_default_str();
    app.add_option("FILE", path, "the page to write")->required();
    CLI11_PARSE(app, argc, argv);

    const auto game = vorskal::sample::sampleGame(options);
    std::size_t bytes = 0;
    double fastest = 1e9;
    for (int i = 0; i < repeat; ++i) {
        const auto start = std::chrono::steady_clock::now();
        bytes = vorskal::html::gamePage(game).size();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        fastest = std::min(fastest, took.count());
    }
    try {
        vorskal::html::writeGamePage(game, path);
    } catch (const std::exception& failure) {
        std::cerr << "vorskal-html-sample: " << failure.what() << '\n';
        return 1;
    }
    std::cout << "arena events " << game.arena.size() << ", stretches " << game.overMax.size()
              << ", page " << bytes << " bytes, drawn in " << fastest << " ms\n";
    return 0;
}
