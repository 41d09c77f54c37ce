#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "input/input.h"
#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"
#include "hyd_test_util.h"

using namespace rivola;
using namespace rivola::hyd;
using hydtest::raw_profile;
using hydtest::set_element;

namespace {
constexpr double g = 9.80665;

double bisect(const std::function<double(double)>& f, double a, double b) {
    for (int i = 0; i < 200; ++i) {
        const double m = 0.5 * (a + b);
        (f(m) < 0 ? a : b) = m;
    }
    return 0.5 * (a + b);
}

EndProfile normalised(EndProfile p) {
    input::profil_one(p, false);
    return p;
}
}  // namespace

TEST(Qerwan, OpeningsOfAWall) {
    RunContext ctx;
    ctx.plant.resize(1);
    const EndProfile p = raw_profile('o', 'T', 20.0f, 2e-5f, {{2.0f, 3.0f}});
    set_element(ctx, 1, "W1", T_W, 0.0f, 1.0f, p, p, 0.2f);
    ctx.plant.el[1].iord = 1;
    ctx.plant.wand.resize(2);
    WallData& w = ctx.plant.wand[1];

    // two circular openings of 0.3 m
    w.T = 'K';
    w.H = 0.3f;
    w.n = 2;
    qerwan(ctx, 1);
    EXPECT_EQ(ctx.cs.typ, "KROHR");
    EXPECT_NEAR(ctx.cs.D, 0.3, 1e-6);
    EXPECT_FLOAT_EQ(ctx.cs.Qx, 0.1f);
    auto A = [](double h) {
        const double th = 2 * std::acos(1 - h / 0.15);
        return 0.5 * 0.15 * 0.15 * (th - std::sin(th));
    };
    auto B = [](double h) { return 2 * std::sqrt(h * (0.3 - h)); };
    const double hc = bisect([&](double h) { return 1 - 0.01 * B(h) / (g * std::pow(A(h), 3)); },
                             0.01, 0.299);
    EXPECT_NEAR(ctx.cs.hc, hc, 1e-3);

    // a rectangular opening 0.5 m wide and 0.3 m high; widths given either way
    w.T = 'T';
    w.H = 0.3f;
    w.BU = 0.5f;
    w.BO = 0.5f;
    w.n = 1;
    qerwan(ctx, 1);
    EXPECT_EQ(ctx.cs.typ, "RECKg");
    EXPECT_NEAR(ctx.cs.Htop, 0.3, 1e-6);
    w.BU = 0.6f;
    w.BO = 0.4f;
    qerwan(ctx, 1);
    EXPECT_EQ(ctx.cs.typ, "SONST");
    EXPECT_FLOAT_EQ(ctx.cs.B[1], 0.4f);
    EXPECT_FLOAT_EQ(ctx.cs.B[2], 0.6f);
}

TEST(Qerwan, DepthFromEnergyInAnOpening) {
    RunContext ctx;
    ctx.plant.resize(1);
    const EndProfile p = raw_profile('o', 'T', 20.0f, 2e-5f, {{2.0f, 3.0f}});
    set_element(ctx, 1, "W1", T_W, 0.0f, 1.0f, p, p, 0.05f);
    ctx.plant.el[1].iord = 1;
    ctx.plant.wand.resize(2);
    WallData& w = ctx.plant.wand[1];
    w.T = 'T';
    w.H = 0.3f;
    w.BU = w.BO = 0.5f;
    w.n = 1;
    // the energy height is measured from the wall's outlet invert, whatever the
    // previous section held
    ctx.cs.sec[1].z = 3.0f;
    hvonhe(ctx, "HYAWAN", 1, 1, 0.0f, 0.25f);
    const double ref = bisect(
        [](double h) { return h + 0.0025 / (2 * g * 0.25 * h * h) - 0.25; }, 0.09, 0.25);
    EXPECT_NEAR(ctx.cs.sec[2].h, ref, 1e-4);
    EXPECT_TRUE(ctx.cs.bem[3].empty());
    // far more energy than the opening is high: it runs full ("ü ")
    hvonhe(ctx, "HYAWAN", 1, 1, 0.0f, 1.0f);
    EXPECT_GT(ctx.cs.sec[2].h, 0.3f);
    EXPECT_EQ(ctx.cs.bem[3], "ü ");
}

TEST(Qerzus, InletOfAConfluenceWithCoefficientTable) {
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
    cd.br[2].hvs = 0.0f;
    qerzus(ctx, 2, 3);
    EXPECT_FLOAT_EQ(z.res[2].Q, 0.3f);
    // ratio 0.3 between the table values 0.2 (at 0.2) and 0.3 (at 0.4)
    EXPECT_NEAR(z.zeta, 0.25f, 1e-6);
    EXPECT_FLOAT_EQ(z.prof[kProfUp].Z, 9.6f);
    EXPECT_FLOAT_EQ(z.prof[kProfUp].B[1], 1.5f);
}

TEST(Qerdwn, StateBelowAnElement) {
    RunContext ctx;
    ctx.plant.resize(4);
    Plant& p = ctx.plant;
    p.el[1].ityp = T_A;
    p.el[1].iab[1] = 2;
    p.el[1].iab[2] = 3;
    p.el[3].res[2].z = 7.5f;
    p.el[3].res[2].h = 0.42f;
    p.el[3].res[2].he = 0.45f;
    qerdwn(ctx, 2, 1);
    EXPECT_FLOAT_EQ(ctx.cs.sec[1].z, 7.5f);
    EXPECT_FLOAT_EQ(ctx.cs.sec[1].h, 0.42f);
    // into a confluence: the stored state of the inlet that the element feeds
    p.el[2].ityp = T_G;
    p.el[2].iab[1] = 4;
    p.el[4].ityp = T_Z;
    p.el[4].iord = 1;
    p.el[4].izu[1] = 3;
    p.el[4].izu[2] = 2;
    p.zus.resize(2);
    p.zus[1].inlet[2].h = 0.61f;
    p.zus[1].inlet[2].he = 0.64f;
    ctx.cs.sec[1].z = 1.0f;
    qerdwn(ctx, 1, 2);
    EXPECT_FLOAT_EQ(ctx.cs.sec[1].h, 0.61f);
    EXPECT_FLOAT_EQ(ctx.cs.sec[1].he, 0.64f);
    EXPECT_FLOAT_EQ(ctx.cs.sec[1].z, 1.0f);   // the invert slot keeps its value
}

TEST(Qerauf, BranchOfADivision) {
    RunContext ctx;
    ctx.plant.resize(3);
    Plant& p = ctx.plant;
    Element& a = p.el[1];
    a.bez = "A1";
    a.ityp = T_A;
    a.iord = 1;
    a.L = 4.0f;
    a.geo.K = 70.0f;
    a.iab[1] = 2;
    a.iab[2] = 3;
    a.res[1].Q = a.res[2].Q = 1.0f;
    a.prof[kProfUp] = normalised(raw_profile('o', 'T', 10.4f, 2e-5f, {{1.0f, 2.0f}}));
    a.prof[kProfBranch1] = normalised(raw_profile('o', 'T', 10.0f, 2e-5f, {{1.0f, 1.0f}}));
    a.prof[kProfBranch2] = normalised(raw_profile('o', 'T', 10.2f, 2e-5f, {{1.0f, 1.2f}}));
    a.prof[kProfDown].Z = 10.0f;
    auto inlet = [](Element& e, float Q, float z, float h, float A, float v, float he) {
        e.res[2].Q = Q, e.res[2].z = z, e.res[2].h = h, e.res[2].A = A, e.res[2].v = v;
        e.res[2].he = he;
    };
    inlet(p.el[2], 0.6f, 10.0f, 0.5f, 0.5f, 1.2f, 0.57f);
    inlet(p.el[3], 0.4f, 10.2f, 0.4f, 0.48f, 0.83f, 0.44f);
    p.auf.resize(2);
    p.auf[1].br[2].zeta = 0.7f;
    p.auf[1].br[2].c = 0.3f;
    qerauf(ctx, 2, 1);
    // previous section: the inlet of outlet 2; current: the division's inlet
    EXPECT_FLOAT_EQ(ctx.cs.sec[1].z, 10.2f);
    EXPECT_FLOAT_EQ(ctx.cs.sec[1].h, 0.4f);
    EXPECT_FLOAT_EQ(ctx.cs.Zx, 10.4f);
    EXPECT_NEAR(ctx.cs.dz, 0.2f, 1e-5);
    EXPECT_FLOAT_EQ(ctx.cs.Qx, 1.0f);
    EXPECT_NEAR(ctx.cs.I0, (10.4 - 10.2) / 4.0, 1e-6);
    EXPECT_FLOAT_EQ(ctx.cs.B[1], 2.0f);
    EXPECT_FLOAT_EQ(ctx.cs.zeta1, 0.7f);
    EXPECT_FLOAT_EQ(ctx.cs.c, 0.3f);
    EXPECT_EQ(ctx.cs.loaded, 0);
    // the division keeps its own profiles
    EXPECT_EQ(a.prof[kProfDown].n, 0);
    EXPECT_FLOAT_EQ(a.prof[kProfDown].Z, 10.0f);
}

TEST(Geoauf, WeirBehindADivisionTakesTheBranchGeometry) {
    RunContext ctx;
    ctx.plant.resize(3);
    Plant& p = ctx.plant;
    Element& a = p.el[1];
    a.ityp = T_A;
    a.iord = 1;
    a.res[2].Q = 1.0f;
    a.prof[kProfBranch2] = normalised(raw_profile('o', 'T', 10.2f, 2e-5f, {{1.0f, 1.2f}}));
    p.auf.resize(2);
    p.auf[1].br[2] = BranchLoss{0.25f, 0.0f, 0.0f, {0, 1.0f, 1.0f, 1.0f, 2.0f, 2.0f, 2.0f}};
    p.auf[1].tflag = 'T';
    Element& u = p.el[2];
    u.ityp = T_U;
    u.izu[1] = 1;
    u.L = 3.0f;
    u.res[2].Q = 0.5f;
    geoauf(ctx, 2, 2);
    EXPECT_EQ(u.L, 0.0f);
    EXPECT_FLOAT_EQ(u.prof[kProfDown].Z, 10.2f);
    EXPECT_FLOAT_EQ(u.prof[kProfDown].B[1], 1.2f);
    EXPECT_FLOAT_EQ(u.geo.C, 0.25f);
    // ratio 0.5: between 1.0 (at 0.4) and 2.0 (at 0.6)
    EXPECT_NEAR(u.zeta, 1.5f, 1e-5);
}

TEST(Qertau, OneTubeOfAnImmersionTube) {
    RunContext ctx;
    ctx.plant.resize(1);
    const EndProfile pipe = raw_profile('g', 'K', 5.0f, 0.1f, {{0.1f, 0.2f}});
    set_element(ctx, 1, "T1", T_T, 6.0f, 0.5f, pipe, pipe, 0.04f);
    ctx.plant.el[1].iord = 1;
    ctx.plant.tau.resize(2);
    ctx.plant.tau[1].n = 4;
    qertau(ctx, 1);
    EXPECT_EQ(ctx.cs.typ, "KROHR");
    EXPECT_NEAR(ctx.cs.D, 0.2, 1e-6);
    EXPECT_FLOAT_EQ(ctx.cs.Qx, 0.01f);
}

TEST(Qerver, OutletEndOfADistributionFlume) {
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
    const double ref = bisect([](double h) { return h + 1.0 / (2 * g * 4 * h * h) - 0.6; },
                              std::cbrt(0.25 / g), 0.6);
    EXPECT_NEAR(ctx.cs.sec[2].h, ref, 1e-4);
    // a flume of the same section below: no loss across the junction
    Element& d = p.el[2];
    d.ityp = T_G;
    d.res[2].h = 0.8f;
    d.res[2].A = 1.6f;
    d.res[2].v = 1.0f / 1.6f;
    d.res[2].he = 0.8f + (1.0f / 1.6f) * (1.0f / 1.6f) / 19.6133f;
    ctx.cs.loaded = 0;
    qerver(ctx, "HYAVER", 1, 1);
    EXPECT_EQ(ctx.run.ierr, 0);
    EXPECT_NEAR(ctx.cs.sec[2].h, 0.8, 1e-3);
}
