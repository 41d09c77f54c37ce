// The walk through plants where flows split and join, set up as a run sets
// them up: the split iteration at divisions against hand-computed branch
// losses, fixed and minimum splits, confluences, distribution and collection
// flumes, immersion tubes and siphon weirs, and a division that cannot
// balance.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "hydraulics/hyawsp.h"
#include "hydraulics/walk_test_util.h"
#include "input/input.h"
#include "input/setup_fixture.h"
#include "run/r_rivola.h"

namespace rivola {
namespace {

using walktest::kG;

struct SplitWalk : test::SetupFixture {
    // Sets the plant up as a run does, then walks it from the given level.
    void walk(float level) {
        input::setup_system(ctx);
        ASSERT_LT(ctx.run.ierr, 2) << checklist();
        ctx.plant.all.Wasserstand = level;
        run::start(ctx);
        hyd::wsp_rivola(ctx);
    }
    int k(const std::string& name) { return el(name).iord; }
    // Energy level at the inlet end of an element.
    float E2(const std::string& name) { return el(name).res[2].E(); }
};

// Energy level at the inlet of a division with no length, reached through a
// branch whose downstream element holds the energy level Eb: the local loss
// zeta v^2/(2g) with the velocity of the division's inlet section (rectangle
// of width b, invert z, discharge Q), solved by bisection for the depth.
double division_energy(double Eb, double zeta, double Q, double b, double z) {
    double lo = 0.001, hi = 10.0;
    for (int n = 0; n < 200; ++n) {
        const double h = 0.5 * (lo + hi);
        const double v = Q / (b * h);
        // energy carried by the section minus the energy it must have
        const double f = z + h + v * v / (2 * kG) - (Eb + zeta * v * v / (2 * kG));
        (f < 0 ? lo : hi) = h;
    }
    const double h = 0.5 * (lo + hi), v = Q / (b * h);
    return z + h + v * v / (2 * kG);
}

// Q1 -> G2 -> A3 -> (G4 | G5) -> Z6 -> G7: a free division onto two rough
// lanes 0.4 m wide (Strickler 40) that meet again; 200 l/s.
constexpr float kB = 0.4f, kK = 40.0f;

struct TwoLanes : SplitWalk {
    void build(float L4, float L5) {
        plant({{"Q1", "", "G2"},
               {"G2", "Q1", "A3"},
               {"A3", "G2", "G4", "", "G5"},
               {"G4", "A3", "Z6"},
               {"G5", "A3", "Z6"},
               {"Z6", "G4", "G7", "G5"},
               {"G7", "Z6", "ENDE"}});
        default_data(100.0f);
        rect(el("Q1"), 100.2f, kB, 1.5f);
        rect(el("G2"), 100.2f, kB, 1.5f, 10.0f, 100.19f);
        for (const char* a : {"A3", "Z6"}) {
            GeoInput& g = el(a).geo;
            for (GeoProfileInput* q : {&g.o1, &g.u1, &g.o2, &g.u2})
                if (given(q->Z)) {
                    q->Z = a[0] == 'A' ? 100.19f : 100.1f;
                    q->B[1] = q->B[2] = kB;
                    q->H[2] = 1.5f;
                }
        }
        rect(el("G4"), 100.19f, kB, 1.5f, L4, 100.1f);
        rect(el("G5"), 100.19f, kB, 1.5f, L5, 100.1f);
        rect(el("G7"), 100.1f, kB, 1.5f, 10.0f, 100.09f);
        for (const char* g : {"G2", "G4", "G5", "G7"}) el(g).geo.K = kK;
        el("Q1").Q = 200.0f;  // l/s
    }
};

TEST_F(TwoLanes, IdenticalBranchesSplitHalfAndHalf) {
    build(20.0f, 20.0f);
    walk(101.0f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_NEAR(el("G4").res[2].Q, 0.1, 0.0002);
    EXPECT_NEAR(el("G5").res[2].Q, 0.1, 0.0002);
    EXPECT_NEAR(ctx.plant.wsp.div[k("A3")].dE, 0.0, 0.00005);
    EXPECT_TRUE(el("A3").res[2].bem[5].empty());
}

TEST_F(TwoLanes, LongerBranchTakesLessUntilTheBranchEnergiesAgree) {
    build(20.0f, 120.0f);
    walk(100.9f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_GT(ctx.run.passes, 2);
    EXPECT_EQ(ctx.run.balance, 0);
    const double Q = 0.2, Q4 = el("G4").res[2].Q, Q5 = el("G5").res[2].Q;
    EXPECT_NEAR(Q4 + Q5, Q, 1e-5);
    EXPECT_GT(Q4, 0.11);  // the short lane carries the larger share

    // Hand calculation of both branches for the split found: each flume from
    // its outlet depth by an independent backwater integration, then the
    // division's branch loss.
    auto branch = [&](const std::string& g, double Qj) {
        const Element& e = el(g);
        const double L = e.L, S0 = (e.res[2].z - e.res[1].z) / L;
        const double h = walktest::gvf_rect(Qj, kB, kK, S0, e.res[1].h, L);
        const double v = Qj / (kB * h);
        const double Eg = e.res[2].z + h + v * v / (2 * kG);
        EXPECT_NEAR(e.res[2].h, h, 0.005) << g;
        return division_energy(Eg, 0.5, Q, kB, 100.19);
    };
    const double E4 = branch("G4", Q4), E5 = branch("G5", Q5);
    EXPECT_NEAR(E4, E5, 0.002);
    EXPECT_NEAR(el("A3").res[2].E(), 0.5 * (E4 + E5), 0.003);
    // the lanes lose the same energy with different discharges
    EXPECT_NEAR(E2("G4") - el("G4").res[1].E(), E2("G5") - el("G5").res[1].E(), 0.002);
}

TEST_F(TwoLanes, ConfluenceAddsTheInflowsAndEachInletLosesItsOwn) {
    build(20.0f, 60.0f);
    walk(100.9f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    const Element& z = el("Z6");
    EXPECT_NEAR(z.res[1].Q, el("G4").res[1].Q + el("G5").res[1].Q, 1e-6);
    const ConfluenceData& cd = ctx.plant.zus[k("Z6")];
    for (int j = 1; j <= 2; ++j) {
        const BranchState& in = cd.inlet[j];
        EXPECT_NEAR(in.z + in.he, z.res[1].E() + in.hv, 0.001) << "inlet " << j;
        EXPECT_GE(in.hv, 0.0f);
        // the flume above hands over to the inlet without a jump in level
        const Element& u = el(j == 1 ? "G4" : "G5");
        EXPECT_NEAR(u.res[1].E(), in.z + in.he + u.HVU, 0.001);
    }
}

TEST_F(TwoLanes, FixedPercentageIsNeverIterated) {
    build(20.0f, 60.0f);
    el("A3").aufteilung1 = 60.0f;
    el("A3").aufteilung2 = 40.0f;
    walk(100.9f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_EQ(ctx.run.passes, 1);
    EXPECT_EQ(ctx.run.converged, 1);
    EXPECT_FLOAT_EQ(ctx.plant.aufteilung[k("A3")].value, 0.6f);
    EXPECT_NEAR(el("G4").res[2].Q, 0.12, 1e-6);
    // the branch that needs more energy governs the inlet
    const auto& br = ctx.plant.auf[k("A3")].branch;
    EXPECT_NEAR(el("A3").res[2].he, std::max(br[1].he, br[2].he), 1e-6);
}

TEST_F(TwoLanes, MinimumDischargeIsDelivered) {
    build(200.0f, 20.0f);
    el("A3").aufteilung1 = -150.0f;  // 150 l/s at least into the long lane
    el("A3").aufteilung2 = kMissing;
    walk(100.9f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_GE(el("G4").res[2].Q, 0.150 - 1e-4);
    EXPECT_NEAR(el("G4").res[2].Q + el("G5").res[2].Q, 0.2, 1e-5);
}

}  // namespace
}  // namespace rivola
