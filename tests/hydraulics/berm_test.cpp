// Compound channels: the energy curve smoothed across a berm by joined
// parabolas, the linear system that fits them, and their use in the formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "common/hydraulic_refs.h"
#include "common/plant_builder.h"
#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/mathe.h"

using namespace rivola;
using namespace rivola::hyd;
using namespace rivola::test;
using ref::kG;

namespace {
// Main channel 1 m wide and 1 m deep, a flood plain widening the section to
// 6 m at 1 m, walls up to 3 m; Strickler 40. The main channel has a flat
// bottom or a half-circle bottom of 1 m diameter below 0.5 m.
struct Compound {
    const char* name;
    EndProfile profile;
    double bottom;  // area below 0.5 m
    double A(double h) const {
        if (h > 1.0) return bottom + 0.5 + 6.0 * (h - 1.0);
        if (h > 0.5 || profile.T[1] == 'T') return h > 0.5 ? bottom + (h - 0.5) : h;
        return ref::segment(h, 1.0).A;
    }
    double B(double h) const { return h > 1.0 ? 6.0 : h > 0.5 || profile.T[1] == 'T' ? 1.0 : ref::segment(h, 1.0).B; }
};
const Compound kCompounds[] = {
    {"flat bottom", raw_profile('o', 'T', 0.0f, 2e-5f, {{1.0f, 1.0f}, {1.0f, 6.0f}, {3.0f, 6.0f}}), 0.5},
    {"circular bottom", raw_profile('o', 'K', 0.0f, 2e-5f, {{0.5f, 1.0f}, {1.0f, 1.0f}, {1.0f, 6.0f}, {3.0f, 6.0f}}),
     ref::kPi / 8},
};
struct State {
    float A, A2, B, dhy, v, I, hE;
};
State state(RunContext& ctx, float Q, float h) {
    State s{};
    fkthya(ctx, "TEST", Q, h, s.A, s.A2, s.B, s.dhy, s.v, s.I, s.hE);
    return s;
}
float& el(Matrix10& a, int i, int j) { return a[(i - 1) + (j - 1) * kGaussDim]; }
}  // namespace

TEST(Berms, CompoundChannelEnergyCurveIsSmoothedAcrossTheBerm) {
  for (const Compound& c : kCompounds) {
    SCOPED_TRACE(c.name);
    RunContext ctx;
    const float Q = 2.0f;
    load_prismatic(ctx, c.profile, 40.0f, Q);
    ASSERT_EQ(ctx.run.ierr, 0);
    ASSERT_EQ(ctx.cs.nbrm, 1);
    const BermZone& z = ctx.cs.brm[1];
    EXPECT_NEAR(z.z0, 1.0, 1e-6);
    // the real energy curve (closed-form areas) drops just above the berm
    auto Ereal = [&](double h) { return h + Q * Q / (2 * kG * c.A(h) * c.A(h)); };
    EXPECT_GT(Ereal(1.0), Ereal(1.05));
    // the curve of the formulas is continuous and rises from the critical depth
    const double hc = ref::critical(Q, [&](double h) { return c.A(h); }, [&](double h) { return c.B(h); }, 0.3, 1.0);
    double prev = state(ctx, Q, float(hc + 0.01)).hE;
    for (double h = hc + 0.011; h < 2.9; h += 0.001) {
        const State s = state(ctx, Q, float(h));
        EXPECT_GT(s.hE, prev - 2e-5) << "h = " << h;
        EXPECT_LT(s.hE - prev, 0.005) << "h = " << h;
        prev = s.hE;
        // and its surface width obeys dE/dh = 1 - Q^2 B / (g A^3), the slope
        // taken here by a central difference
        if (h > z.z0 + 0.002 && h < z.z2 - 0.002 && std::fabs(h - z.z1) > 0.002) {
            const double dEdh = (state(ctx, Q, float(h + 5e-4)).hE - state(ctx, Q, float(h - 5e-4)).hE) / 1e-3;
            EXPECT_NEAR(s.B, (1 - dEdh) * kG * std::pow(s.A, 3) / (Q * Q), 0.02 * s.B + 0.01) << h;
        }
    }
    // outside the zone it is the real curve; one critical depth in the main channel
    EXPECT_NEAR(state(ctx, Q, 0.9f).hE, Ereal(0.9), 5e-5);
    EXPECT_NEAR(state(ctx, Q, 2.95f).hE, Ereal(2.95), 1e-4);
    EXPECT_NEAR(ctx.cs.hc, hc, 1e-3);
    // the depth for an energy is continuous through the zone
    ctx.cs.sec[1].z = 0.0f;
    float hprev = 0.0f;
    for (float E = float(std::max(1.12, Ereal(hc) + 0.01)); E < 2.5f; E += 0.01f) {  // above the critical energy
        hvonhe(ctx, "HYANEU", 1, 2, 0.0f, E);
        ASSERT_EQ(ctx.run.ierr, 0);
        const float h = ctx.cs.sec[2].h;
        EXPECT_NEAR(ctx.cs.sec[2].he, E, 2e-4);
        if (hprev > 0.0f) {
            EXPECT_GT(h, hprev);
            EXPECT_LT(h - hprev, 0.05f) << "E = " << E;
        }
        hprev = h;
    }
  }
}


TEST(BermSystem, MatrixAndGaussRecoverTwoJoinedParabolas) {
    // piece 1: E = 1 + 0.5 h + 2 h^2; piece 2 joins it at hm with equal value
    // and slope and has the quadratic coefficient -1
    const double c0 = 1, c1 = 0.5, c2 = 2, d2 = -1, x0 = 0.2, xm = 0.5, x1 = 0.9;
    const double d1 = c1 + 2 * c2 * xm - 2 * d2 * xm;
    const double d0 = c0 + c1 * xm + c2 * xm * xm - d1 * xm - d2 * xm * xm;
    const double E0 = c0 + c1 * x0 + c2 * x0 * x0, s0 = c1 + 2 * c2 * x0;
    const double E1 = d0 + d1 * x1 + d2 * x1 * x1, s1 = d1 + 2 * d2 * x1;
    Matrix10 a;
    Vector10 r, x{};
    matrix(x0, xm, x1, E0, E1, s0, s1, a, r);
    RunContext ctx;
    gauss(ctx, 10, 6, a.data(), r.data(), x.data());
    ASSERT_EQ(ctx.run.ierr, 0);
    const double want[6] = {c0, c1, c2, d0, d1, d2};
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(x[k], want[k], 2e-4) << k;
    // the joint between the tangent point and the ends: tangents E = 2h and
    // E = 4 + 0.5 (h - 4) meet at 4/3; joint 0.5 ((2/3) 4/3 + 4 + (2/3)(4/3 - 4))
    EXPECT_NEAR(splmit(0.0f, 0.0f, 2.0f, 4.0f, 4.0f, 0.5f), 14.0f / 9.0f, 1e-5f);
    EXPECT_NEAR(splmit(-1.0f, 1.0f, -2.0f, 1.0f, 1.0f, 2.0f), 0.0f, 1e-6f);
}


TEST(Gauss, SingularSystemIsWrittenAndStopsTheRun) {
    test::TempDir dir("gauss");
    RunContext ctx;
    ctx.settings.language = "ENGLISH";
    ctx.run.dbDir = dir.str();
    test::RecordingUi ui;
    ctx.ui = &ui;
    Matrix10 a{};
    Vector10 b{}, x{};
    const float m[3][3] = {{1, 0, 2}, {3, 0, 1}, {4, 0, 5}};  // column 2 is zero
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) el(a, i + 1, j + 1) = m[i][j];
    b = {7, 8, 9};
    gauss(ctx, 10, 3, a.data(), b.data(), x.data());
    EXPECT_EQ(ctx.run.ierr, 2);
    EXPECT_TRUE(test::logged(ui, "abort by GAUSS: singular matrix!\nContact Marlow Wasserbau!"));
    const auto lines = test::read_lines(dir.str() + "GAUSS.MTR");
    ASSERT_EQ(lines.size(), 3u);
    for (int row = 0; row < 3; ++row) {
        std::istringstream ls(lines[size_t(row)]);
        std::vector<double> v;
        for (double d; ls >> d;) v.push_back(d);
        ASSERT_EQ(v.size(), 4u);
        for (int j = 0; j < 3; ++j) EXPECT_DOUBLE_EQ(v[j], m[row][j]);
        EXPECT_DOUBLE_EQ(v[3], 7 + row);
    }
}
