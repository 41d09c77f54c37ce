#include <gtest/gtest.h>

#include <cmath>

#include "hydraulics/geomet.h"
#include "hyd_test_util.h"

using namespace rivola;
using namespace rivola::hyd;
using hydtest::load_prismatic;
using hydtest::raw_profile;

namespace {
constexpr double kPiD = 3.14159265358979;

// Circular segment of rise h in a circle of diameter D (closed form, double).
void segment(double h, double D, double& A, double& B, double& arc) {
    const double r = D / 2, th = 2 * std::acos(1 - h / r);
    A = 0.5 * r * r * (th - std::sin(th));
    B = 2 * std::sqrt(h * (D - h));
    arc = r * th;
}

struct Geo {
    float A, B, dhy, v, I, hE;
};
Geo at(RunContext& ctx, float Q, float h) {
    Geo r{};
    qerhya(ctx, Q, h, r.A, r.B, r.dhy, r.v, r.I, r.hE);
    return r;
}
}  // namespace

TEST(Qerhya, OpenRectangleWithStricklerAgainstManning) {
    RunContext ctx;
    load_prismatic(ctx, raw_profile('o', 'T', 100.0f, 2e-5f, {{1.0f, 2.0f}}), 70.0f, 1.0f);
    EXPECT_EQ(ctx.cs.typ, "RECKo");
    EXPECT_FLOAT_EQ(ctx.cs.H[ctx.cs.n + 1], 9999.99f);   // open top extended
    const Geo g = at(ctx, 1.0f, 0.5f);
    EXPECT_NEAR(g.A, 1.0, 1e-6);
    EXPECT_NEAR(g.B, 2.0, 1e-6);
    EXPECT_NEAR(ctx.cs.Uw, 3.0, 1e-6);
    EXPECT_NEAR(g.dhy, 4.0 / 3.0, 1e-6);
    EXPECT_NEAR(g.v, 1.0, 1e-6);
    // Manning: S = (v n / R^(2/3))^2 with n = 1/70, R = A/U = 1/3
    const double R = 1.0 / 3.0, S = std::pow(1.0 / 70.0 / std::pow(R, 2.0 / 3.0), 2);
    EXPECT_NEAR(g.I / S, 1.0, 2e-5);
    EXPECT_NEAR(g.hE, 0.5 + 1.0 / (2 * 9.80665), 1e-6);
    // far above the walls the section goes on with its width
    const Geo hi = at(ctx, 1.0f, 20.0f);
    EXPECT_NEAR(hi.A, 40.0, 1e-4);
}

TEST(Qerhya, TrapezoidAndPolygonAgainstGeometry) {
    {
        // bottom 1 m (first pair on the bottom), 3 m wide at 1 m: side slope 1:1
        RunContext ctx;
        load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{0.0f, 1.0f}, {1.0f, 3.0f}}),
                       70.0f, 0.0f);
        EXPECT_EQ(ctx.cs.typ, "SONST");
        const Geo g = at(ctx, 0.0f, 0.5f);
        EXPECT_NEAR(g.A, (1.0 + 2.0) / 2 * 0.5, 1e-4);
        EXPECT_NEAR(g.B, 2.0, 1e-4);
        EXPECT_NEAR(ctx.cs.Uw, 1.0 + 2 * std::sqrt(0.5), 1e-4);
        // above the given top: vertical walls of the top width
        const Geo hi = at(ctx, 0.0f, 3.0f);
        EXPECT_NEAR(hi.A, 2.0 + 2.0 * 3.0, 1e-3);
        EXPECT_NEAR(hi.B, 3.0, 1e-6);
        EXPECT_NEAR(ctx.cs.Uw, 1.0 + 2 * std::sqrt(2.0) + 2 * 2.0, 1e-3);
    }
    {
        // pointed bottom, 1 m wide at 0.5 m, 3 m wide at 1.5 m
        RunContext ctx;
        load_prismatic(ctx, raw_profile('o', 'X', 0.0f, 2e-5f, {{0.5f, 1.0f}, {1.5f, 3.0f}}),
                       70.0f, 0.0f);
        const Geo g = at(ctx, 0.0f, 1.0f);
        // triangle 0..0.5 plus trapezoid 0.5..1.0 (width 2 at 1.0)
        EXPECT_NEAR(g.A, 0.25 + 0.75, 1e-4);
        EXPECT_NEAR(g.B, 2.0, 1e-4);
        EXPECT_NEAR(ctx.cs.Uw, 2 * std::sqrt(0.25 + 0.25) + 2 * std::sqrt(0.25 + 0.25), 1e-4);
    }
}

TEST(Qerhya, FullCircularPipeIsHandledByTheCircle) {
    RunContext ctx;
    // 'K' profile with rise and first height half the width: a closed pipe D = 1
    load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 0.5f, {{0.5f, 1.0f}}), 1.0f, 0.5f);
    EXPECT_EQ(ctx.cs.typ, "KROHR");
    EXPECT_NEAR(ctx.cs.D, 1.0, 1e-5);
    EXPECT_NEAR(ctx.cs.Dtop, 1.0, 1e-5);
    for (double h : {0.2, 0.5, 0.8}) {
        double A, B, arc;
        segment(h, 1.0, A, B, arc);
        const Geo g = at(ctx, 0.5f, static_cast<float>(h));
        EXPECT_NEAR(g.A, A, 1e-5) << h;
        EXPECT_NEAR(g.B, B, 1e-5) << h;
        EXPECT_NEAR(ctx.cs.Uw, arc, 1e-5) << h;
    }
    const Geo full = at(ctx, 0.5f, 1.2f);
    EXPECT_NEAR(full.A, kPiD / 4, 1e-5);
    EXPECT_EQ(full.B, 0.0f);
    EXPECT_NEAR(ctx.cs.Uw, kPiD, 1e-5);
}

TEST(Qerhya, CircleBottomWithFlatLidAndWithCrownArch) {
    {
        // semicircle D = 1 up to 0.5 m, walls to 1.0 m, flat lid
        RunContext ctx;
        load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 2e-5f, {{0.5f, 1.0f}, {1.0f, 1.0f}}),
                       1.0f, 0.0f);
        EXPECT_EQ(ctx.cs.typ, "SONST");
        const Geo g = at(ctx, 0.0f, 0.8f);
        EXPECT_NEAR(g.A, kPiD / 8 + 0.3, 1e-5);
        EXPECT_NEAR(g.B, 1.0, 1e-5);
        EXPECT_NEAR(ctx.cs.Uw, kPiD / 2 + 0.6, 1e-5);
        const Geo full = at(ctx, 0.0f, 1.0f);
        EXPECT_NEAR(full.A, kPiD / 8 + 0.5, 1e-5);
        EXPECT_EQ(full.B, 0.0f);
        EXPECT_NEAR(ctx.cs.Uw, kPiD / 2 + 1.0 + 1.0, 1e-5);   // the lid is wetted
    }
    {
        // the same with a semicircular crown of rise 0.5 m: apex at 1.5 m
        RunContext ctx;
        load_prismatic(ctx, raw_profile('g', 'K', 0.0f, 0.5f, {{0.5f, 1.0f}, {1.0f, 1.0f}}),
                       1.0f, 0.0f);
        EXPECT_NEAR(ctx.cs.Dtop, 1.0, 1e-5);
        EXPECT_NEAR(ctx.cs.Htop, 1.5, 1e-5);
        double Ae, Be, arce;
        segment(0.25, 1.0, Ae, Be, arce);   // the empty part above h = 1.25
        const Geo g = at(ctx, 0.0f, 1.25f);
        EXPECT_NEAR(g.A, kPiD / 8 + 0.5 + kPiD / 8 - Ae, 1e-5);
        EXPECT_NEAR(g.B, Be, 1e-4);
        EXPECT_NEAR(ctx.cs.Uw, kPiD / 2 + 1.0 + kPiD / 2 - arce, 1e-5);
        const Geo full = at(ctx, 0.0f, 1.6f);
        EXPECT_NEAR(full.A, kPiD / 4 + 0.5, 1e-5);
        EXPECT_EQ(full.B, 0.0f);
    }
}

TEST(Qerhya, VeryShallowDepthHasNoVelocityOrFriction) {
    RunContext ctx;
    load_prismatic(ctx, raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 2.0f}}), 1.5f, 1.0f);
    const Geo g = at(ctx, 1.0f, 1e-4f);
    EXPECT_EQ(g.v, 0.0f);
    EXPECT_EQ(g.I, 0.0f);
    EXPECT_EQ(g.dhy, 0.0f);
    EXPECT_FLOAT_EQ(g.hE, 1e-4f);
}

TEST(Qergeo, RoughnessUnitsPositionAndSlope) {
    RunContext ctx;
    ctx.plant.resize(2);
    const EndProfile rect = raw_profile('o', 'T', 100.0f, 2e-5f, {{1.0f, 2.0f}});
    EndProfile up = rect;
    up.Z = 101.0f;
    hydtest::set_element(ctx, 2, "G2", T_G, 10.0f, 19.0f, rect, up, 0.5f);
    qergeo(ctx, "TEST", 2, 2, 4.0f);
    EXPECT_NEAR(ctx.cs.K, 0.019f, 1e-7);             // 19 mm sand roughness in metres
    EXPECT_NEAR(ctx.cs.I0, 0.1f, 1e-6);
    EXPECT_NEAR(ctx.cs.Zx, 100.4f, 1e-4);
    EXPECT_TRUE(ctx.cs.ident);
    EXPECT_TRUE(ctx.cs.plain);

    ctx.plant.el[2].geo.K = 19.1f;
    ctx.cs.loaded = 0;
    qergeo(ctx, "TEST", 1, 2, 0.0f);
    EXPECT_FLOAT_EQ(ctx.cs.K, 19.1f);                // Strickler value kept
    EXPECT_FLOAT_EQ(ctx.cs.Zx, 100.0f);

    // a position at x = 0 asked for as s = 2 is the upstream node, except for
    // the distribution and collection flume computations
    qergeo(ctx, "TEST", 2, 2, 0.0f);
    EXPECT_FLOAT_EQ(ctx.cs.Zx, 101.0f);
    ctx.plant.el[2].ityp = T_V;
    ctx.plant.el[2].res[1].Q = 0.0f;
    ctx.plant.el[2].res[2].Q = 0.8f;
    ctx.cs.loaded = 0;
    qergeo(ctx, "HYAVER", 2, 2, 0.0f);
    EXPECT_FLOAT_EQ(ctx.cs.Zx, 100.0f);
    EXPECT_FLOAT_EQ(ctx.cs.Qx, 0.0f);
    qergeo(ctx, "HYAVER", 2, 2, 2.5f);
    EXPECT_FLOAT_EQ(ctx.cs.Qx, 0.25f * 0.8f);        // discharge grows along the flume
    EXPECT_FALSE(ctx.cs.plain);
}

TEST(Qergeo, ProfileComparisonFlags) {
    RunContext ctx;
    ctx.plant.resize(2);
    const EndProfile a = raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 2.0f}});
    const EndProfile taller = raw_profile('o', 'T', 0.0f, 2e-5f, {{1.5f, 2.0f}});
    const EndProfile wider = raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 6.0f}});
    hydtest::set_element(ctx, 2, "G2", T_G, 10.0f, 1.0f, a, taller, 0.5f);
    qergeo(ctx, "TEST", 1, 2, 0.0f);
    EXPECT_FALSE(ctx.cs.ident);
    EXPECT_TRUE(ctx.cs.toponly);
    hydtest::set_element(ctx, 2, "G2", T_G, 10.0f, 1.0f, a, wider, 0.5f);
    ctx.cs.loaded = 0;
    qergeo(ctx, "TEST", 2, 2, 5.0f);
    EXPECT_FALSE(ctx.cs.toponly);
    EXPECT_TRUE(ctx.cs.similar);     // widths in a constant ratio
    EXPECT_NEAR(ctx.cs.B[1], 4.0, 1e-5);   // halfway between 2 and 6
    EXPECT_NEAR(ctx.cs.B[2], 4.0, 1e-5);
}

TEST(Dquer, MergesBreakPointsOfDifferentProfiles) {
    RunContext ctx;
    ctx.plant.resize(2);
    // downstream: rectangle 2 m wide, 1 m high; upstream: 2 m wide to 0.5 m,
    // widening to 4 m at 1.5 m
    const EndProfile p1 = raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 2.0f}});
    const EndProfile p2 = raw_profile('o', 'T', 0.0f, 2e-5f, {{0.5f, 2.0f}, {1.5f, 4.0f}});
    hydtest::set_element(ctx, 2, "G2", T_G, 10.0f, 1.0f, p1, p2, 0.5f);
    qergeo(ctx, "TEST", 2, 2, 5.0f);
    // by hand: bottom (0, 2); the upstream point at 0.5 m with the downstream
    // width there, (0.5, 2); above the lower top 1.0 m the blended top
    // 1.0 + 0.5 * 0.5 = 1.25 m with the mean width 3 m; then the open top
    ASSERT_EQ(ctx.cs.n, 3);
    EXPECT_NEAR(ctx.cs.H[1], 0.0, 1e-6);
    EXPECT_NEAR(ctx.cs.B[1], 2.0, 1e-6);
    EXPECT_NEAR(ctx.cs.H[2], 0.5, 1e-6);
    EXPECT_NEAR(ctx.cs.B[2], 2.0, 1e-6);
    EXPECT_NEAR(ctx.cs.H[3], 1.25, 1e-6);
    EXPECT_NEAR(ctx.cs.B[3], 3.0, 1e-6);
    EXPECT_FLOAT_EQ(ctx.cs.H[4], 9999.99f);
    // the ends are the end profiles themselves
    qergeo(ctx, "TEST", 2, 2, 10.0f);
    EXPECT_NEAR(ctx.cs.B[3], 4.0, 1e-6);
    qergeo(ctx, "TEST", 1, 2, 0.0f);
    EXPECT_NEAR(ctx.cs.H[2], 1.0, 1e-6);
}

TEST(Mquer, HeightsForcedToRise) {
    RunContext ctx;
    Qercmn& cs = ctx.cs;
    cs.T[0] = 'g';
    cs.T[1] = 'T';
    cs.n = 2;
    cs.H[1] = 0.0f, cs.B[1] = 1.0f;
    cs.H[2] = 1.0f, cs.B[2] = 1.0f;
    cs.H[3] = 0.5f, cs.B[3] = 2.0f;   // out of order
    mquer(ctx);
    EXPECT_FLOAT_EQ(cs.H[3], 1.0f + 1.1e-5f);
    EXPECT_NEAR(cs.A[3], 1.0 + 1.5 * 1.1e-5, 1e-6);
    EXPECT_NEAR(cs.U[3], 1.0 + 2.0 + 2 * std::sqrt(0.25 + 1.1e-5 * 1.1e-5), 1e-5);
}

TEST(Zsohle, InvertThatAnElementDischargesInto) {
    RunContext ctx;
    ctx.plant.resize(3);
    const EndProfile p = raw_profile('o', 'T', 10.0f, 2e-5f, {{1.0f, 1.0f}});
    hydtest::set_element(ctx, 1, "G1", T_G, 5.0f, 1.0f, p, p, 0.1f);
    hydtest::set_element(ctx, 2, "G2", T_G, 5.0f, 1.0f, p, p, 0.1f);
    Element& z = ctx.plant.el[3];
    z.bez = "Z3";
    z.ityp = T_Z;
    z.prof[kProfBranch1].Z = 9.5f;
    z.prof[kProfBranch2].Z = 9.7f;
    z.izu[1] = 1;
    z.izu[2] = 2;
    z.ablauf1 = "ENDE";
    ctx.plant.el[1].iab[1] = 3;
    ctx.plant.el[2].iab[1] = 3;
    EXPECT_FLOAT_EQ(zsohle(ctx, 1), 9.5f);
    EXPECT_FLOAT_EQ(zsohle(ctx, 2), 9.7f);
    EXPECT_FLOAT_EQ(zsohle(ctx, 3), 0.0f);
    // a collection flume with a second inlet is entered at its upstream invert
    ctx.plant.el[3].bez = "S3";
    ctx.plant.el[3].prof[kProfUp].Z = 9.9f;
    EXPECT_FLOAT_EQ(zsohle(ctx, 2), 9.9f);
    ctx.plant.el[3].ityp = T_G;
    EXPECT_FLOAT_EQ(zsohle(ctx, 1), 9.9f);
}
