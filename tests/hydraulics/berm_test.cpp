#include <gtest/gtest.h>

#include <cmath>

#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"
#include "hyd_test_util.h"

using namespace rivola;
using namespace rivola::hyd;
using hydtest::load_prismatic;
using hydtest::raw_profile;

namespace {
constexpr double g = 9.80665;

// Main channel 1 m wide and 1 m deep, a flood plain widening the section to
// 6 m at 1 m, walls up to 3 m; Strickler 40.
EndProfile compound() {
    return raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 1.0f}, {1.0f, 6.0f}, {3.0f, 6.0f}});
}

float energy(RunContext& ctx, float Q, float h) {
    float A, A2, B, dhy, v, I, hE;
    fkthya(ctx, "TEST", Q, h, A, A2, B, dhy, v, I, hE);
    return hE;
}
}  // namespace

TEST(Berms, CompoundChannelEnergyCurveIsSmoothedAcrossTheBerm) {
    RunContext ctx;
    const float Q = 2.0f;
    load_prismatic(ctx, compound(), 40.0f, Q);
    ASSERT_EQ(ctx.run.ierr, 0);
    ASSERT_EQ(ctx.cs.nbrm, 1);
    const BermZone& z = ctx.cs.brm[1];
    EXPECT_NEAR(z.z0, 1.0, 1e-6);
    EXPECT_GT(z.z2, z.z0 + 0.01);
    EXPECT_LT(z.z2, 3.0);

    // The real energy curve of the section (closed-form areas) drops just
    // above the berm: the flood plain spreads the flow.
    auto Areal = [](double h) { return h <= 1.0 ? h : 1.0 + 6.0 * (h - 1.0); };
    auto Ereal = [&](double h) { return h + Q * Q / (2 * g * Areal(h) * Areal(h)); };
    EXPECT_GT(Ereal(1.0), Ereal(1.05));

    // The curve the formulas use is continuous and rises monotonically from
    // the critical depth up through the berm zone.
    const double hc = std::cbrt(Q * Q / g);   // rectangle 1 m wide
    double prev = energy(ctx, Q, static_cast<float>(hc + 0.01));
    for (double h = hc + 0.011; h < 2.9; h += 0.001) {
        const double e = energy(ctx, Q, static_cast<float>(h));
        EXPECT_GT(e, prev - 2e-5) << "h = " << h;
        EXPECT_LT(e - prev, 0.005) << "h = " << h;
        prev = e;
    }
    // outside the zone it is the real curve
    EXPECT_NEAR(energy(ctx, Q, 0.9f), Ereal(0.9), 5e-5);
    EXPECT_NEAR(energy(ctx, Q, 2.95f), Ereal(2.95), 1e-4);
    // a smooth, single critical depth in the main channel
    EXPECT_NEAR(ctx.cs.hc, hc, 1e-3);
    EXPECT_EQ(ctx.run.ierr, 0);
}

TEST(Berms, DepthFromEnergyIsContinuousThroughTheZone) {
    RunContext ctx;
    const float Q = 2.0f;
    load_prismatic(ctx, compound(), 40.0f, Q);
    ctx.cs.sec[1].z = 0.0f;
    float prev = 0.0f;
    for (float E = 1.12f; E < 2.5f; E += 0.01f) {
        hvonhe(ctx, "HYANEU", 1, 2, 0.0f, E);
        ASSERT_EQ(ctx.run.ierr, 0);
        const float h = ctx.cs.sec[2].h;
        EXPECT_NEAR(ctx.cs.sec[2].he, E, 2e-4);
        if (prev > 0.0f) {
            EXPECT_GT(h, prev);
            EXPECT_LT(h - prev, 0.05f) << "E = " << E;
        }
        prev = h;
    }
}

TEST(Berms, FourthBermStopsTheRun) {
    RunContext ctx;
    ctx.settings.language = "ENGLISH";
    hydtest::LogServices log;
    ctx.ui = &log;
    Qercmn& cs = ctx.cs;
    cs.T[0] = 'o';
    cs.T[1] = 'T';
    // four shelves: widths 1, 3, 6, 10, 15 m above 1, 2, 3, 4 m
    const float H[] = {0, 2e-5f, 1, 1, 2, 2, 3, 3, 4, 4, 5};
    const float B[] = {0, 1, 1, 3, 3, 6, 6, 10, 10, 15, 15};
    cs.n = 9;
    for (int i = 1; i <= 10; ++i) {
        cs.H[i] = H[i];
        cs.B[i] = B[i];
    }
    mquer(ctx);
    cs.Qx = 20.0f;
    chkbrm(ctx, 0.0f);
    EXPECT_EQ(ctx.run.ierr, 2);
    EXPECT_TRUE(log.logged("error:  A cross section with more than 3 berms is not accepted."));

    // three shelves are accepted
    RunContext ok;
    ok.cs = Qercmn{};
    ok.cs.T[0] = 'o';
    ok.cs.T[1] = 'T';
    ok.cs.n = 7;
    for (int i = 1; i <= 8; ++i) {
        ok.cs.H[i] = H[i];
        ok.cs.B[i] = B[i];
    }
    mquer(ok);
    ok.cs.Qx = 20.0f;
    chkbrm(ok, 0.0f);
    EXPECT_EQ(ok.run.ierr, 0);
    EXPECT_EQ(ok.cs.nbrm, 3);
}

TEST(Berms, EnergyCurveBelowTheDepthStopsTheRun) {
    RunContext ctx;
    hydtest::LogServices log;
    ctx.ui = &log;
    load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 2.0f}}), 70.0f, 1.0f);
    // a zone whose replacement curve lies below the depth
    ctx.cs.nbrm = 1;
    BermZone& z = ctx.cs.brm[1];
    z.z0 = 0.5f;
    z.z1 = 1.0f;
    z.z2 = 2.0f;
    z.c1 = {0.0f, 0.5f, 0.0f};
    energy(ctx, 1.0f, 0.8f);
    EXPECT_EQ(ctx.run.ierr, 2);
    EXPECT_TRUE(log.logged("Abbruch durch FKTHYA/TEST!\nBitte an Marlow Wasserbau wenden!"));
}
