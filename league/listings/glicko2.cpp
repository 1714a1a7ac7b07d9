#include "league/listings/glicko2.h"

#include <cmath>
#include <numbers>

namespace vorskal::league {

namespace {

// How much an opponent's deviation weakens what a result against him says.
double weight(double phi) {
    return 1.0 / std::sqrt(1.0 + 3.0 * phi * phi / (std::numbers::pi * std::numbers::pi));
}

// The new volatility by the Illinois iteration on x = ln σ².
double newVolatility(double sigma, double phi, double v, double delta, double tau) {
    const double a = std::log(sigma * sigma);
    const auto f = [&](double x) {
        const double ex = std::exp(x);
        const double d = phi * phi + v + ex;
        return ex * (delta * delta - phi * phi - v - ex) / (2.0 * d * d) - (x - a) / (tau * tau);
    };
    double lo = a;
    double hi = 0;
    if (delta * delta > phi * phi + v) {
        hi = std::log(delta * delta - phi * phi - v);
    } else {
        int k = 1;
        while (f(a - k * tau) < 0 && k < 1000) {
            ++k;
        }
        hi = a - k * tau;
    }
    double fLo = f(lo);
    double fHi = f(hi);
    // It converges in a handful of steps; the bound keeps numbers no game
    // makes (a crafted file) from holding it.
    for (int step = 0; step < 200 && std::fabs(hi - lo) > kGlickoConvergence; ++step) {
        const double c = lo + (lo - hi) * fLo / (fHi - fLo);
        const double fC = f(c);
        if (fC * fHi <= 0) {
            lo = hi;
            fLo = fHi;
        } else {
            fLo /= 2;
        }
        hi = c;
        fHi = fC;
    }
    return std::exp(lo / 2);
}

}  // namespace

RatingUpdate updateRating(const Rating& before, const std::vector<RatedResult>& results,
                          double tau) {
    const double mu = (before.rating - 1500) / kGlickoScale;
    const double phi = before.rd / kGlickoScale;
    const double sigma = before.volatility;
    RatingUpdate update;
    if (results.empty()) {
        update.after = {before.rating, kGlickoScale * std::sqrt(phi * phi + sigma * sigma), sigma};
        return update;
    }
    double information = 0;     // 1 / v
    std::vector<double> terms;  // g(φj) (sj - E)
    for (const RatedResult& result : results) {
        const double muJ = (result.opponent.rating - 1500) / kGlickoScale;
        const double g = weight(result.opponent.rd / kGlickoScale);
        const double expected = 1.0 / (1.0 + std::exp(-g * (mu - muJ)));
        information += g * g * expected * (1 - expected);
        terms.push_back(g * (result.score - expected));
    }
    if (!(information > 0)) {
        // Results so certain that they say nothing (ratings thousands of
        // points apart): as a period without any.
        update.after = {before.rating, kGlickoScale * std::sqrt(phi * phi + sigma * sigma), sigma};
        update.moved.assign(results.size(), 0.0);
        return update;
    }
    const double v = 1.0 / information;
    double sum = 0;
    for (const double term : terms) {
        sum += term;
    }
    const double sigmaAfter = newVolatility(sigma, phi, v, v * sum, tau);
    const double phiStar2 = phi * phi + sigmaAfter * sigmaAfter;
    const double phiAfter = 1.0 / std::sqrt(1.0 / phiStar2 + 1.0 / v);
    update.after = {1500 + kGlickoScale * (mu + phiAfter * phiAfter * sum), kGlickoScale * phiAfter,
                    sigmaAfter};
    for (const double term : terms) {
        update.moved.push_back(kGlickoScale * phiAfter * phiAfter * term);
    }
    return update;
}

}  // namespace vorskal::league
