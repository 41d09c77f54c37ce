// Loading the section of an element at a position: end profiles blended along
// the length, the state below, openings of walls, branches of divisions and
// confluences, against hand calculations.
#include <gtest/gtest.h>

#include <cmath>

#include "input/input.h"
#include "common/hydraulic_refs.h"
#include "common/plant_builder.h"
#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"

using namespace rivola;
using namespace rivola::hyd;
using namespace rivola::test;
using ref::kG;

namespace {
EndProfile normalised(EndProfile p) {
    input::profil_one(p, false);
    return p;
}
}  // namespace

TEST(Loading, RoughnessPositionSlopeAndBlendedWidths) {
    RunContext ctx;
    ctx.plant.resize(2);
    const EndProfile down = raw_profile('o', 'T', 100.0f, 2e-5f, {{1.0f, 2.0f}});
    EndProfile up = raw_profile('o', 'T', 101.0f, 2e-5f, {{1.0f, 6.0f}});
    set_element(ctx, 2, "G2", T_G, 10.0f, 19.0f, down, up, 0.5f);
    qergeo(ctx, "TEST", 2, 2, 4.0f);
    EXPECT_NEAR(ctx.cs.K, 0.019f, 1e-7);  // 19 mm sand roughness in metres
    EXPECT_NEAR(ctx.cs.I0, 0.1f, 1e-6);
    EXPECT_NEAR(ctx.cs.Zx, 100.4f, 1e-4);
    EXPECT_NEAR(ctx.cs.B[1], 2.0 + 0.4 * 4.0, 1e-5);  // widths in a constant ratio: blended
    ctx.plant.el[2].geo.K = 19.1f;
    ctx.cs.loaded = 0;
    qergeo(ctx, "TEST", 1, 2, 0.0f);
    EXPECT_FLOAT_EQ(ctx.cs.K, 19.1f);  // a Strickler value
    EXPECT_FLOAT_EQ(ctx.cs.Zx, 100.0f);
    // in the distribution and collection flumes x = 0 is the outlet end even
    // asked for as s = 2, and the discharge grows along the flume
    ctx.plant.el[2].ityp = T_V;
    ctx.plant.el[2].res[1].Q = 0.0f;
    ctx.plant.el[2].res[2].Q = 0.8f;
    ctx.cs.loaded = 0;
    qergeo(ctx, "HYAVER", 2, 2, 0.0f);
    EXPECT_FLOAT_EQ(ctx.cs.Zx, 100.0f);
    qergeo(ctx, "HYAVER", 2, 2, 2.5f);
    EXPECT_FLOAT_EQ(ctx.cs.Qx, 0.25f * 0.8f);
}

TEST(Loading, BreakPointsOfDifferentEndProfilesMerge) {
    RunContext ctx;
    ctx.plant.resize(2);
    // downstream: rectangle 2 m wide, 1 m high; upstream: 2 m wide to 0.5 m,
    // widening to 4 m at 1.5 m
    set_element(ctx, 2, "G2", T_G, 10.0f, 1.0f, raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 2.0f}}),
                raw_profile('o', 'T', 0.0f, 2e-5f, {{0.5f, 2.0f}, {1.5f, 4.0f}}), 0.5f);
    qergeo(ctx, "TEST", 2, 2, 5.0f);
    // by hand at mid-length: bottom (0, 2); the upstream point at 0.5 m with
    // the downstream width there, (0.5, 2); above the lower top 1.0 m the
    // blended top 1.0 + 0.5 * 0.5 = 1.25 m with the mean width 3 m
    ASSERT_EQ(ctx.cs.n, 3);
    const float H[] = {0.0f, 0.5f, 1.25f}, B[] = {2.0f, 2.0f, 3.0f};
    for (int j = 1; j <= 3; ++j) {
        EXPECT_NEAR(ctx.cs.H[j], H[j - 1], 1e-6) << j;
        EXPECT_NEAR(ctx.cs.B[j], B[j - 1], 1e-6) << j;
    }
    qergeo(ctx, "TEST", 2, 2, 10.0f);  // the ends are the end profiles themselves
    EXPECT_NEAR(ctx.cs.B[3], 4.0, 1e-6);
    qergeo(ctx, "TEST", 1, 2, 0.0f);
    EXPECT_NEAR(ctx.cs.H[2], 1.0, 1e-6);
}


TEST(Loading, OpeningsOfAWall) {
    RunContext ctx;
    ctx.plant.resize(1);
    const EndProfile p = raw_profile('o', 'T', 20.0f, 2e-5f, {{2.0f, 3.0f}});
    set_element(ctx, 1, "W1", T_W, 0.0f, 1.0f, p, p, 0.2f);
    ctx.plant.el[1].iord = 1;
    ctx.plant.wand.resize(2);
    WallData& w = ctx.plant.wand[1];
    // two circular openings of 0.3 m share the discharge
    w.T = 'K';
    w.H = 0.3f;
    w.n = 2;
    qerwan(ctx, 1);
    EXPECT_FLOAT_EQ(ctx.cs.Qx, 0.1f);
    auto A = [](double h) { return ref::segment(h, 0.3).A; };
    auto B = [](double h) { return ref::segment(h, 0.3).B; };
    EXPECT_NEAR(ctx.cs.hc, ref::critical(0.1, A, B, 0.01, 0.299), 1e-3);
    // a rectangle 0.5 m wide: the depth for an energy height measured from
    // the wall's invert, whatever the previous section held
    w.T = 'T', w.BU = w.BO = 0.5f, w.n = 1;
    ctx.plant.el[1].res[1].Q = ctx.plant.el[1].res[2].Q = 0.05f;
    qerwan(ctx, 1);
    ctx.cs.sec[1].z = 3.0f;
    hvonhe(ctx, "HYAWAN", 1, 1, 0.0f, 0.25f);
    const double h = ref::bisect([](double y) { return y + 0.0025 / (2 * kG * 0.25 * y * y) - 0.25; },
                                 0.09, 0.25);
    EXPECT_NEAR(ctx.cs.sec[2].h, h, 1e-4);
    EXPECT_TRUE(ctx.cs.bem[3].empty());
    // far more energy than the opening is high: it runs full
    hvonhe(ctx, "HYAWAN", 1, 1, 0.0f, 1.0f);
    EXPECT_GT(ctx.cs.sec[2].h, 0.3f);
    EXPECT_EQ(ctx.cs.bem[3], "ü ");
}

TEST(Loading, BranchesOfConfluencesAndDivisionsTakeTheirCoefficientFromTheTable) {
    RunContext ctx;
    ctx.plant.resize(3);
    const EndProfile p = raw_profile('o', 'T', 10.0f, 2e-5f, {{1.0f, 1.0f}});
    set_element(ctx, 1, "G1", T_G, 5.0f, 1.0f, p, p, 0.7f);
    set_element(ctx, 2, "G2", T_G, 5.0f, 1.0f, p, p, 0.3f);
    Element& z = ctx.plant.el[3];
    z.bez = "Z3";
    z.ityp = T_Z;
    z.iord = 1;
    z.izu[1] = 1;
    z.izu[2] = 2;
    z.res[1].Q = 1.0f;
    z.prof[kProfBranch2] = normalised(raw_profile('o', 'T', 9.6f, 2e-5f, {{0.8f, 1.5f}}));
    ctx.plant.zus.resize(2);
    ConfluenceData& cd = ctx.plant.zus[1];
    cd.tflag = 'T';
    for (int m = 1; m <= 6; ++m) cd.br[2].zt[m] = 0.1f * static_cast<float>(m);
    qerzus(ctx, 2, 3);
    EXPECT_FLOAT_EQ(z.res[2].Q, 0.3f);
    // share 0.3 between the table values 0.2 (at 0.2) and 0.3 (at 0.4)
    EXPECT_NEAR(z.zeta, 0.25f, 1e-6);

    // a weir behind a division takes the branch's profile and coefficient:
    // share 0.5 between 1.0 (at 0.4) and 2.0 (at 0.6)
    RunContext c2;
    c2.plant.resize(2);
    Element& a = c2.plant.el[1];
    a.ityp = T_A;
    a.iord = 1;
    a.res[2].Q = 1.0f;
    a.prof[kProfBranch2] = normalised(raw_profile('o', 'T', 10.2f, 2e-5f, {{1.0f, 1.2f}}));
    c2.plant.auf.resize(2);
    c2.plant.auf[1].br[2] = BranchLoss{0.25f, 0.0f, 0.0f, {0, 1.0f, 1.0f, 1.0f, 2.0f, 2.0f, 2.0f}};
    c2.plant.auf[1].tflag = 'T';
    Element& u = c2.plant.el[2];
    u.ityp = T_U;
    u.izu[1] = 1;
    u.L = 3.0f;
    u.res[2].Q = 0.5f;
    geoauf(c2, 2, 2);
    EXPECT_EQ(u.L, 0.0f);
    EXPECT_FLOAT_EQ(u.prof[kProfDown].Z, 10.2f);
    EXPECT_FLOAT_EQ(u.prof[kProfDown].B[1], 1.2f);
    EXPECT_FLOAT_EQ(u.geo.C, 0.25f);
    EXPECT_NEAR(u.zeta, 1.5f, 1e-5);
}


TEST(Loading, OutletEndOfADistributionFlume) {
    RunContext ctx;
    ctx.plant.resize(2);
    Plant& p = ctx.plant;
    const EndProfile rect = raw_profile('o', 'T', 10.0f, 2e-5f, {{1.5f, 2.0f}});
    set_element(ctx, 1, "V1", T_V, 8.0f, 70.0f, rect, rect, 1.0f);
    p.el[1].iab[1] = 2;
    set_element(ctx, 2, "W2", T_W, 0.0f, 70.0f, rect, rect, 1.0f);
    p.el[2].res[2].z = 10.0f;
    p.el[2].res[2].he = 0.6f;
    // a wall below: the depth follows from its energy height alone
    qerver(ctx, "HYAVER", 1, 1);
    EXPECT_NEAR(ctx.cs.sec[2].h,
                ref::bisect([](double h) { return h + 1.0 / (8 * kG * h * h) - 0.6; },
                            ref::hc_rect(1.0, 2.0), 0.6),
                1e-4);
    // a flume 4 m wide below, 0.8 m deep: the sudden expansion into it loses
    // 1.2 v1^2 (1 - A1/A2)^2 / (2g), at most the change of velocity head
    Element& d = p.el[2];
    d.ityp = T_G;
    const double A1 = 3.2, v1 = 1.0 / A1, E1 = 0.8 + ref::vhead(v1);
    d.res[2].h = 0.8f;
    d.res[2].A = float(A1);
    d.res[2].v = float(v1);
    d.res[2].he = float(E1);
    ctx.cs.loaded = 0;
    ctx.cs.sec[1].A = 100.0f;  // left over from an earlier section
    qerver(ctx, "HYAVER", 1, 1);
    EXPECT_EQ(ctx.run.ierr, 0);
    const double h = ref::bisect(
        [&](double y) {
            const double A2 = 2 * y, v2 = 1.0 / A2;
            const double loss = std::min(1.2 * ref::vhead(v1) * std::pow(1 - A1 / A2, 2),
                                         std::fabs(ref::vhead(v1) - ref::vhead(v2)));
            return y + ref::vhead(v2) - E1 - loss;
        },
        0.6, 1.2);
    EXPECT_NEAR(ctx.cs.sec[2].h, h, 5e-4);
}
