#pragma once
// Glickman's Glicko-2 rating: a rating, its deviation (how far off it may
// be) and its volatility (how much it swings), moved once a rating period by
// the period's results, each against the opponent's rating from before the
// period. docs/league.md says how the league uses it.
#include <vector>

namespace vorskal::league {

// On the Glicko scale (a new player 1500 / 350); the algorithm works on the
// Glicko-2 scale, `(rating - 1500) / kGlickoScale`.
inline constexpr double kGlickoScale = 173.7178;
// τ, how far the volatility may move in a period: Glickman advises 0.3 to
// 1.2; the low end of the middle keeps a few games from swinging a rating.
inline constexpr double kGlickoTau = 0.5;
// The volatility is found to within this (on ln σ²).
inline constexpr double kGlickoConvergence = 1e-6;

struct Rating {
    double rating = 1500;
    double rd = 350;
    double volatility = 0.06;
};

struct RatedResult {
    Rating opponent;   // before the period
    double score = 0;  // 1 a win, 0 a loss, 0.5 a draw
};

struct RatingUpdate {
    Rating after;
    // What each result (in the order given) moved the rating by: its share of
    // the period's sum, so the shares add up to after.rating - before.rating.
    std::vector<double> moved;
};

// The rating after a period with these results. A period without any grows
// only the deviation.
RatingUpdate updateRating(const Rating& before, const std::vector<RatedResult>& results,
                          double tau = kGlickoTau);

}  // namespace vorskal::league
