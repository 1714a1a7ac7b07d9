// Team identification: the first aircraft fragment found in the text decides
// the team, the Hun fragments before the Allied ones; letter case matters;
// every text, the empty one too, yields a code.
#include "tally/identify_team.h"

#include <gtest/gtest.h>

#include <string>

namespace vorskal {
namespace {

TEST(TeamOf, FragmentTable) {
    struct Case {
        std::string text;
        Count team;
    };
    const Case cases[] = {// Each fragment, exactly or one character short of it.
                          {"FOKKER_DVII", 2},
                          {"ALBATROS_DIII", 2},
                          {"PFALZ_DIII", 2},
                          {"HALBERSTADT_CL2", 2},
                          {"SOPWITH_CAMEL", 1},
                          {"NIEUPORT_17", 1},
                          {"SPAD", 1},
                          {"MORANE_N", 1},
                          {"AIRCO_DH2", 1},
                          {"SE5A", 1},
                          {"FOKKE", 2},
                          {"FOKK", 0},
                          {"SPA", 0},
                          {"SE5", 0},
                          {"SE5a", 0},
                          {"xSE5Ax", 1},
                          // Anywhere in the text; a name holding a Hun fragment decides.
                          {"Snoopy          SOPWITH_CA", 1},
                          {"Manfred_RichthofALBATROS_D", 2},
                          {"Big_SPAD_Fan    FOKKER_DVI", 2},
                          {"ALBATROS_Ace    SOPWITH_CA", 2},
                          // Both sides in one text: the Hun fragments are tested first.
                          {"SOPWITH_CAMEL FOKKER_DVII", 2},
                          {"SE5A PFALZ", 2},
                          {"SPAD HALBE", 2},
                          {"NIEUPORT SE5A", 1},
                          // Letter case matters; no fragment at all.
                          {"sopwith_camel", 0},
                          {"Fokker_DVII", 0},
                          {"fOKKE", 0},
                          {"", 0},
                          {"BRISTOL_F2B", 0},
                          {"FOK KER", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(teamOf(c.text), c.team) << "text \"" << c.text << "\"";
    }
}

}  // namespace
}  // namespace vorskal
