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
// 1/sqrt(lambda) by Colebrook-White, iterated to convergence in double.
double colebrook(double k, double d, double a /* 2.51/Re */) {
    double x = 7.0;
    for (int i = 0; i < 200; ++i) x = -2 * std::log10(x * a + k / d / 3.71);
    return 1 / (x * x);
}
constexpr double nu = 1.31e-6;
}  // namespace

TEST(Lambda, TurbulentAgainstColebrookWhite) {
    // k = 1 mm, d = 1 m, v = 1 m/s: Re = 763359
    const double ref = colebrook(0.001, 1.0, 2.51 / (1.0 * 1.0 / nu));
    EXPECT_NEAR(ref, 0.0200, 0.0001);
    EXPECT_NEAR(lambda(0.001f, 1.0f, 1.0f), ref, 2e-5);
    // smooth pipe, Re = 2 * 0.3 / nu
    const double ref2 = colebrook(1e-5, 0.3, 2.51 / (2.0 * 0.3 / nu));
    EXPECT_NEAR(lambda(1e-5f, 2.0f, 0.3f), ref2, 2e-5);
}

TEST(Lambda, LaminarBranchAndVanishingArguments) {
    // Re = 100: 96/Re = 0.96 exceeds the turbulent value at Re = 2300
    const float v100 = static_cast<float>(100 * nu / 0.1);
    EXPECT_NEAR(lambda(1e-5f, v100, 0.1f), 0.96, 1e-3);
    // Re = 2000 in a very rough pipe: the turbulent value at Re = 2300 governs
    const float v2000 = static_cast<float>(2000 * nu / 0.1);
    const double lt = colebrook(0.005, 0.1, 0.0010913043);
    ASSERT_GT(lt, 96.0 / 2000);
    EXPECT_NEAR(lambda(0.005f, v2000, 0.1f), lt, 1e-4);
    EXPECT_EQ(lambda(0.001f, 1.0f, 5e-5f), 0.0f);
    EXPECT_EQ(lambda(0.001f, 5e-5f, 1.0f), 0.0f);
    EXPECT_EQ(lambda(5e-7f, 1.0f, 1.0f), 0.0f);
}

TEST(FrictionSlope, SandRoughnessAndStricklerThreshold) {
    // 19.0 is a sand roughness (mm), 19.1 a Strickler coefficient
    RunContext ctx;
    const EndProfile rect = raw_profile('o', 'T', 0.0f, 2e-5f, {{2.0f, 2.0f}});
    load_prismatic(ctx, rect, 19.0f, 2.0f);
    float A, B, dhy, v, I, hE;
    qerhya(ctx, 2.0f, 1.0f, A, B, dhy, v, I, hE);
    // Darcy-Weisbach with Colebrook-White, d = 4 A / U = 2 m, v = 1 m/s
    const double lam = colebrook(0.019, 2.0, 2.51 / (1.0 * 2.0 / nu));
    EXPECT_NEAR(I, lam * 1.0 / (2 * 9.80665) / 2.0, 1e-7);
    load_prismatic(ctx, rect, 19.1f, 2.0f);
    qerhya(ctx, 2.0f, 1.0f, A, B, dhy, v, I, hE);
    EXPECT_NEAR(I, std::pow(1.0 / (19.1 * std::pow(0.5, 2.0 / 3.0)), 2), 1e-6);
}

TEST(Hvboca, SuddenChangesOfSection) {
    EXPECT_FLOAT_EQ(hvboca(0.0f, 1.0f, 1.0f, 2.0f, 2.0f, 0.0f), 0.0f);   // equal areas
    EXPECT_FLOAT_EQ(hvboca(0.0f, 1.0f, 1.0f, 1e-5f, 2.0f, 0.0f), 2e-5f); // no area
    // sudden change at the section: weight 1.2 when the previous area is larger
    const double g2 = 2 * 9.80665;
    EXPECT_NEAR(hvboca(0.0f, 0.5f, 1.0f, 2.0f, 1.0f, 0.0f), 0.25 * 1.0 * 1.2 / g2, 1e-6);
    // a given coefficient replaces the weight and lifts the cap
    EXPECT_NEAR(hvboca(0.3f, 0.5f, 1.0f, 2.0f, 1.0f, 0.0f), 0.25 * 1.0 * 0.3 / g2, 1e-6);
    // weight 0.5 into a larger section; capped at the change of velocity head
    EXPECT_NEAR(hvboca(0.0f, 2.0f, 1.0f, 1.0f, 2.0f, 0.0f),
                std::min(4.0 * 0.25 * 0.5 / g2, 3.0 / g2), 1e-6);
    // over a distance the expansion is gradual: A1 below (0.175 s + sqrt A2)^2
    EXPECT_FLOAT_EQ(hvboca(0.0f, 0.5f, 1.0f, 2.0f, 1.0f, 10.0f), 0.0f);
    // halfway between the two limits of the gradual expansion
    const double s = 1.0, alo = std::pow(0.175 * s + 1, 2), ahi = std::pow(0.35 * s + 1, 2);
    const double a1 = 0.5 * (alo + ahi);
    const double want = 0.25 * std::pow(1 - a1, 2) * 0.5 / g2;
    EXPECT_NEAR(hvboca(0.0f, 0.5f, 0.5f * static_cast<float>(a1), static_cast<float>(a1), 1.0f, 1.0f),
                std::min(want, std::fabs(0.25 - 0.25 * a1 * a1) / g2), 1e-6);
}

TEST(Pstat, FirstMomentOfTheWettedSection) {
    const double g = 9.80665;
    {
        RunContext ctx;
        load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 2.0f}}), 70.0f, 1.0f);
        EXPECT_NEAR(pstat(ctx, 1.5f), g * 2.0 * 1.5 * 1.5 / 2, 1e-3);
    }
    {
        // trapezoid bottom 1 m, side slope m = 1: g (b h^2/2 + m h^3/3)
        RunContext ctx;
        load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{0.0f, 1.0f}, {1.0f, 3.0f}}),
                       70.0f, 1.0f);
        EXPECT_NEAR(pstat(ctx, 0.8f), g * (0.8 * 0.8 / 2 + 0.8 * 0.8 * 0.8 / 3), 2e-3);
    }
    {
        // half-full pipe D = 1: the half disc's moment about its diameter 2 r^3 / 3
        RunContext ctx;
        load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 0.5f, {{0.5f, 1.0f}}), 1.0f, 0.1f);
        EXPECT_NEAR(pstat(ctx, 0.5f) / (g * 2 * 0.125 / 3), 1.0, 0.005);
        // full pipe under 0.5 m of pressure head: A (h - r)
        EXPECT_NEAR(pstat(ctx, 1.5f) / (g * 3.14159265 / 4 * 1.0), 1.0, 0.005);
    }
}
