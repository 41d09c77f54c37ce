#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"
#include "hyd_test_util.h"

using namespace rivola;
using namespace rivola::hyd;
using hydtest::load_prismatic;
using hydtest::raw_profile;

namespace {
constexpr double g = 9.80665;

// Root of f on [a, b] by bisection (f(a) < 0 < f(b)).
double bisect(const std::function<double(double)>& f, double a, double b) {
    for (int i = 0; i < 200; ++i) {
        const double m = 0.5 * (a + b);
        (f(m) < 0 ? a : b) = m;
    }
    return 0.5 * (a + b);
}

// Critical depth from Q^2 B / (g A^3) = 1 for closed-form A(h), B(h).
double critical(double Q, const std::function<double(double)>& A,
                const std::function<double(double)>& B, double lo, double hi) {
    return bisect([&](double h) { return 1 - Q * Q * B(h) / (g * std::pow(A(h), 3)); }, lo, hi);
}
}  // namespace

TEST(Hgrenz, OpenRectangle) {
    RunContext ctx;
    load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 2.0f}}), 70.0f, 2.0f);
    const double hc = std::cbrt(1.0 / g);
    EXPECT_NEAR(hc, 0.4672, 1e-4);
    EXPECT_NEAR(ctx.cs.hc, hc, 1e-5);
    EXPECT_NEAR(ctx.cs.hEc, 1.5 * hc, 1e-5);
    EXPECT_NEAR(ctx.cs.Ac, 2 * hc, 1e-5);
    EXPECT_NEAR(ctx.cs.dc, 4 * 2 * hc / (2 * hc + 2), 1e-5);
}

TEST(Hgrenz, TrapezoidAgainstIndependentRoot) {
    RunContext ctx;
    // bottom 1 m, side slope 1:1 up to 2 m
    load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{0.0f, 1.0f}, {2.0f, 5.0f}}), 70.0f,
                   1.5f);
    const double ref = critical(
        1.5, [](double h) { return (1 + h) * h; }, [](double h) { return 1 + 2 * h; }, 0.01, 2.0);
    EXPECT_NEAR(ctx.cs.hc, ref, 1e-3);
    const double A = (1 + ref) * ref;
    EXPECT_NEAR(ctx.cs.hEc, ref + 1.5 * 1.5 / (2 * g * A * A), 2e-3);
}

TEST(Hgrenz, PartlyFilledCircularPipe) {
    RunContext ctx;
    load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 0.5f, {{0.5f, 1.0f}}), 1.0f, 0.3f);
    auto A = [](double h) {
        const double th = 2 * std::acos(1 - 2 * h);
        return 0.125 * (th - std::sin(th));
    };
    auto B = [](double h) { return 2 * std::sqrt(h * (1 - h)); };
    const double ref = critical(0.3, A, B, 0.01, 0.99);
    EXPECT_NEAR(ctx.cs.hc, ref, 1e-3);
    // a discharge whose critical depth lies in the upper half (crown)
    load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 0.5f, {{0.5f, 1.0f}}), 1.0f, 1.5f);
    EXPECT_NEAR(ctx.cs.hc, critical(1.5, A, B, 0.01, 0.999), 1e-3);
}

TEST(Hgrenz, NoDischargeNoCriticalDepth) {
    RunContext ctx;
    load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{0.0f, 1.0f}, {2.0f, 5.0f}}), 70.0f,
                   0.0f);
    EXPECT_EQ(ctx.cs.hc, 0.0f);
    EXPECT_EQ(ctx.cs.hEc, 0.0f);
}

TEST(Hvonhe, SubcriticalDepthForAGivenEnergy) {
    RunContext ctx;
    load_prismatic(ctx, raw_profile('o', 'T', 50.0f, 2e-5f, {{1.0f, 2.0f}}), 70.0f, 2.0f);
    ctx.cs.sec[1].z = 50.0f;   // previous section at the same invert
    hvonhe(ctx, "HYANEU", 1, 2, 0.0f, 1.2f);
    // h + Q^2 / (2 g (2 h)^2) = 1.2 on the subcritical branch
    const double ref = bisect([](double h) { return h + 4.0 / (2 * g * 4 * h * h) - 1.2; },
                              std::cbrt(1.0 / g), 1.2);
    EXPECT_NEAR(ctx.cs.sec[2].h, ref, 1e-4);
    EXPECT_NEAR(ctx.cs.sec[2].he, 1.2, 1e-4);
    EXPECT_TRUE(ctx.cs.bem[1].empty());
    EXPECT_EQ(ctx.cs.dE, 0.0f);
    // the invert rose 0.1 m since the previous section: 0.1 m less energy above it
    ctx.cs.sec[1].z = 49.9f;
    hvonhe(ctx, "HYANEU", 1, 2, 0.0f, 1.3f);
    EXPECT_NEAR(ctx.cs.sec[2].h, ref, 1e-4);
}

TEST(Hvonhe, BelowCriticalEnergyStaysCritical) {
    RunContext ctx;
    load_prismatic(ctx, raw_profile('o', 'T', 50.0f, 2e-5f, {{1.0f, 2.0f}}), 70.0f, 2.0f);
    ctx.cs.sec[1].z = 50.0f;
    const double hc = std::cbrt(1.0 / g);
    hvonhe(ctx, "HYANEU", 1, 2, 0.0f, 0.6f);
    EXPECT_NEAR(ctx.cs.sec[2].h, hc, 1e-5);
    EXPECT_EQ(ctx.cs.bem[1], "gr");
    EXPECT_NEAR(ctx.cs.dE, 1.5 * hc - 0.6, 1e-4);
}

TEST(Hzu, FullHeightOfClosedSections) {
    RunContext ctx;
    // flat lid 2 m high: max(0.8 * 2, 2 - 0.1)
    load_prismatic(ctx, raw_profile('g', 'T', 0.0f, 2e-5f, {{2.0f, 1.0f}}), 1.0f, 0.5f);
    EXPECT_NEAR(hzu(ctx, 1), 1.9, 1e-4);
    EXPECT_NEAR(ctx.cs.hfull[1], 1.9, 1e-4);
    // circular pipe D = 1, k = 1 mm: depth of the largest capacity (found
    // here by a fine scan of the capacity formula)
    load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 0.5f, {{0.5f, 1.0f}}), 1.0f, 0.5f);
    double best = 0, ybest = 0;
    for (double y = 0.5; y < 1.0; y += 1e-4) {
        const double th = 2 * std::acos(1 - 2 * y);
        const double A = 0.125 * (th - std::sin(th)), U = 0.5 * th, d = 4 * A / U;
        const double q = -2 * std::log10(0.001 / (3.71 * d) + 3.2881e-6 / (d * std::sqrt(2 * g * d))) *
                         std::sqrt(2 * g * d) * A;
        if (q > best) best = q, ybest = y;
    }
    EXPECT_NEAR(hzu(ctx, 1), ybest, 0.003);
    EXPECT_NEAR(qtvoll(ctx, static_cast<float>(ybest)), best, best * 1e-4);
    // an element impounded from downstream never counts as running full
    ctx.cs.sec[2].h = 0.99f;
    load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 0.5f, {{0.5f, 1.0f}}), 1.0f, 0.5f);
    EXPECT_FLOAT_EQ(ctx.cs.hfull[1], 9999.9f);
    EXPECT_FLOAT_EQ(ctx.cs.hfull[2], 9999.9f);
}
