#include <gtest/gtest.h>

#include <cmath>

#include "input/input.h"
#include "hydraulics/geomet.h"
#include "model/context.h"

using namespace rivola;
using namespace rivola::hyd;

namespace {
EndProfile raw(char top, char shape, std::initializer_list<std::pair<float, float>> hb) {
    EndProfile p;
    p.T[0] = top;
    p.T[1] = shape;
    p.H.fill(kMissing);
    p.B.fill(kMissing);
    int j = 1;
    for (auto [h, b] : hb) {
        p.H[j] = h;
        p.B[j] = b;
        ++j;
    }
    return p;
}
}  // namespace

TEST(Profil, FirstPairAtTheBottomGivesTheBottomWidth) {
    EndProfile p = raw('o', 'T', {{0.0f, 2.0f}, {1.0f, 2.0f}, {1.5f, 3.0f}});
    input::profil_one(p, false);
    EXPECT_FLOAT_EQ(p.H[0], 2e-5f);
    EXPECT_FLOAT_EQ(p.B[0], 2.0f);
    EXPECT_FLOAT_EQ(p.H[1], 1.0f);
    EXPECT_FLOAT_EQ(p.B[1], 2.0f);
    EXPECT_FLOAT_EQ(p.H[2], 1.5f);
    EXPECT_FLOAT_EQ(p.B[2], 3.0f);
    EXPECT_EQ(p.n, 2);
}

TEST(Profil, BottomWidthByShape) {
    EndProfile flat = raw('o', 'T', {{1.0f, 2.0f}});
    input::profil_one(flat, false);
    EXPECT_FLOAT_EQ(flat.B[0], 2.0f);   // flat bottom: the first width
    EXPECT_EQ(flat.n, 1);
    EndProfile vee = raw('o', ' ', {{1.0f, 2.0f}});
    input::profil_one(vee, false);
    EXPECT_FLOAT_EQ(vee.B[0], 2e-5f);   // narrowing to a point
    EndProfile circ = raw('g', 'K', {{0.4f, 0.8f}});
    input::profil_one(circ, false);
    EXPECT_FLOAT_EQ(circ.B[0], 2e-5f);
    EXPECT_EQ(circ.n, 1);
}

TEST(Profil, NoValidHeightEndVersusBranchProfile) {
    EndProfile e = raw('o', 'T', {});
    input::profil_one(e, false);
    EXPECT_EQ(e.n, 6);
    EndProfile b = raw('o', 'T', {});
    input::profil_one(b, true);
    EXPECT_EQ(b.n, 0);
}

TEST(Profil, ElementKindsSelectTheirProfiles) {
    RunContext ctx;
    ctx.plant.resize(3);
    auto fill = [&](int i, const char* name, int ityp) {
        Element& e = ctx.plant.el[i];
        e.bez = name;
        e.ityp = ityp;
        for (int s = 1; s <= 4; ++s) e.prof[s] = raw('o', 'T', {{0.5f, 1.0f}, {1.0f, 2.0f}});
    };
    fill(1, "G1", T_G);
    fill(2, "A1", T_A);
    fill(3, "Z1", T_Z);
    for (int i = 1; i <= 3; ++i) input::profil(ctx, i);
    const auto& g = ctx.plant.el[1].prof;
    EXPECT_EQ(g[kProfDown].n, 2);
    EXPECT_EQ(g[kProfUp].n, 2);
    EXPECT_FLOAT_EQ(g[kProfBranch1].H[0], kMissing);  // untouched
    const auto& a = ctx.plant.el[2].prof;
    EXPECT_FLOAT_EQ(a[kProfDown].H[0], kMissing);     // a division has no downstream end profile
    EXPECT_EQ(a[kProfUp].n, 2);
    EXPECT_EQ(a[kProfBranch1].n, 2);
    EXPECT_EQ(a[kProfBranch2].n, 2);
    const auto& z = ctx.plant.el[3].prof;
    EXPECT_FLOAT_EQ(z[kProfUp].H[0], kMissing);       // a confluence has no upstream end profile
    EXPECT_EQ(z[kProfDown].n, 2);
    EXPECT_EQ(z[kProfBranch2].n, 2);
}

TEST(Kreis, HalfQuarterAndFullCircle) {
    const double D = 0.8, r = 0.4, pi = 3.14159265358979;
    float A, B, U;
    kreis(0.4f, 0.8f, A, B, U);
    EXPECT_NEAR(A, pi * D * D / 8, 1e-6);
    EXPECT_NEAR(B, D, 1e-6);
    EXPECT_NEAR(U, pi * D / 2, 1e-6);
    // quarter depth: theta = 2 acos(1/2) = 2 pi / 3
    const double th = 2 * pi / 3, h = 0.2;
    kreis(0.2f, 0.8f, A, B, U);
    EXPECT_NEAR(A, 0.5 * r * r * (th - std::sin(th)), 1e-6);
    EXPECT_NEAR(B, 2 * std::sqrt(h * (D - h)), 1e-6);
    EXPECT_NEAR(U, r * th, 1e-6);
    // within 2e-5 of the diameter: full circle without surface width
    kreis(0.8f - 1e-5f, 0.8f, A, B, U);
    EXPECT_NEAR(A, pi * D * D / 4, 1e-6);
    EXPECT_EQ(B, 0.0f);
    EXPECT_NEAR(U, pi * D, 1e-6);
    kreis(1e-5f, 0.8f, A, B, U);
    EXPECT_EQ(A, 0.0f);
    EXPECT_EQ(B, 0.0f);
    EXPECT_EQ(U, 0.0f);
}
