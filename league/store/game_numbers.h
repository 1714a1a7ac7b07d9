#pragma once
// The numbers of a game checked before it is recorded, so that the league
// file holds only what a tally can make and the standings add up: counts
// (kills, deaths, targets destroyed) are never negative; every pilot's
// score is his kills and deaths at the game's own points plus his target
// points; every pilot's
// number and each side's sums lie within the 32-bit range the tally counts
// them in; each side's pilot rows add up to the side's totals, and its final
// total is its score less its over-max penalty, both of which the tally
// computes in 64 bits (a penalty can be negative).
#include <string>

#include "results/game_results.h"

namespace vorskal::league {

// What is wrong with the game's numbers, in plain words ("the Allied pilots'
// kills add up to 5, but the Allied totals say 7"); empty when they hold.
std::string numbersFault(const results::GameResults& game);

}  // namespace vorskal::league
