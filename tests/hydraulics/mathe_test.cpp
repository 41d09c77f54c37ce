#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "hydraulics/mathe.h"
#include "hyd_test_util.h"

using namespace rivola;
using namespace rivola::hyd;

namespace {
float& el(Matrix10& a, int i, int j) { return a[(i - 1) + (j - 1) * kGaussDim]; }
}  // namespace

TEST(Gauss, SolvesSystemThatNeedsPivoting) {
    RunContext ctx;
    // zero in the first diagonal place; solution x = (1, 2, 3, 4)
    const double m[4][4] = {{0, 2, 1, 1}, {3, 0, 1, -1}, {1, 1, 4, 0}, {2, -1, 0, 5}};
    const double xs[4] = {1, 2, 3, 4};
    Matrix10 a{};
    Vector10 b{}, x{};
    for (int i = 0; i < 4; ++i) {
        double s = 0;
        for (int j = 0; j < 4; ++j) {
            el(a, i + 1, j + 1) = static_cast<float>(m[i][j]);
            s += m[i][j] * xs[j];
        }
        b[i] = static_cast<float>(s);
    }
    gauss(ctx, 10, 4, a.data(), b.data(), x.data());
    EXPECT_EQ(ctx.run.ierr, 0);
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(x[j], xs[j], 1e-5);
}

TEST(Gauss, RejectsTooManyEquationsAndOtherDimensions) {
    {
        RunContext ctx;
        ctx.settings.language = "ENGLISH";
        hydtest::LogServices log;
        ctx.ui = &log;
        std::array<float, 10 * 11> a{};
        std::array<float, 11> b{}, x{};
        gauss(ctx, 10, 11, a.data(), b.data(), x.data());
        EXPECT_EQ(ctx.run.ierr, 2);
        EXPECT_TRUE(log.logged("abort by GAUSS: number of equations > Maximum\nContact Marlow Wasserbau!"));
    }
    {
        RunContext ctx;
        hydtest::LogServices log;
        ctx.ui = &log;
        std::array<float, 9 * 3> a{};
        std::array<float, 3> b{}, x{};
        gauss(ctx, 9, 3, a.data(), b.data(), x.data());
        EXPECT_EQ(ctx.run.ierr, 2);
        EXPECT_TRUE(log.logged("Abbruch durch GAUSS: Vektoren der Koeffizientenmatrix nicht "
                               "ausreichend dimensioniert!\nBitte an Marlow Wasserbau wenden!"));
    }
}

TEST(Gauss, SingularSystemIsWrittenAndStopsTheRun) {
    const auto dir = hydtest::temp_dir("gauss");
    RunContext ctx;
    ctx.settings.language = "ENGLISH";
    ctx.run.dbDir = dir.string() + "/";
    hydtest::LogServices log;
    ctx.ui = &log;
    Matrix10 a{};
    Vector10 b{}, x{};
    // column 2 is zero
    const float m[3][3] = {{1, 0, 2}, {3, 0, 1}, {4, 0, 5}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) el(a, i + 1, j + 1) = m[i][j];
    b = {7, 8, 9};
    gauss(ctx, 10, 3, a.data(), b.data(), x.data());
    EXPECT_EQ(ctx.run.ierr, 2);
    EXPECT_TRUE(log.logged("abort by GAUSS: singular matrix!\nContact Marlow Wasserbau!"));
    std::ifstream in(dir / "GAUSS.MTR");
    ASSERT_TRUE(in.good());
    std::string line;
    int row = 0;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        std::vector<double> v;
        double d;
        while (ls >> d) v.push_back(d);
        ASSERT_EQ(v.size(), 4u);
        for (int j = 0; j < 3; ++j) EXPECT_DOUBLE_EQ(v[j], m[row][j]);
        EXPECT_DOUBLE_EQ(v[3], 7 + row);
        ++row;
    }
    EXPECT_EQ(row, 3);
    std::filesystem::remove_all(dir);
}

TEST(BermSystem, MatrixAndGaussRecoverTwoJoinedParabolas) {
    // piece 1: E = 1 + 0.5 h + 2 h^2; piece 2 joins it at hm with equal value and
    // slope and has the quadratic coefficient -1.
    const double c0 = 1, c1 = 0.5, c2 = 2, d2 = -1;
    const double x0 = 0.2, xm = 0.5, x1 = 0.9;
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
}

TEST(Splmit, JointBetweenTangentPointAndEnds) {
    // parabola E = h^2 on [-1, 1]: the end tangents meet at 0, the joint is 0
    EXPECT_NEAR(splmit(-1.0f, 1.0f, -2.0f, 1.0f, 1.0f, 2.0f), 0.0f, 1e-6f);
    // tangents E = 2h and E = 4 + 0.5 (h - 4) meet at h* = 4/3;
    // joint = 0.5 ((2/3) h* + 4 + (2/3)(h* - 4)) = 14/9
    EXPECT_NEAR(splmit(0.0f, 0.0f, 2.0f, 4.0f, 4.0f, 0.5f), 14.0f / 9.0f, 1e-5f);
}

TEST(Tolerances, ScaleWithMagnitude) {
    EXPECT_NEAR(eps_d_4(5000.0f, 1e-4f), 5000.0 / 4194304.0, 1e-8);  // 5000 * 2^-22
    EXPECT_FLOAT_EQ(eps_d_4(0.05f, 1e-4f), 1e-4f);
    EXPECT_FLOAT_EQ(eps_d_4(0.2f, 1e-4f), 1e-4f);   // above 1000 e, but the spacing is smaller
    EXPECT_NEAR(eps_d_8(5000.0, 1e-12), 5000.0 / 2251799813685248.0, 1e-20);
    EXPECT_DOUBLE_EQ(eps_d_8(1.0, 1e-5), 1e-5);
}

TEST(Potenz10, DecimalExponent) {
    EXPECT_EQ(potenz_10(0.0f), 0);
    EXPECT_EQ(potenz_10(1e-7f), 0);
    EXPECT_EQ(potenz_10(123.0f), 3);
    EXPECT_EQ(potenz_10(-123.0f), 3);
    EXPECT_EQ(potenz_10(5.0f), 1);
    EXPECT_EQ(potenz_10(10.0f), 2);
    EXPECT_EQ(potenz_10(1.0f), 0);
    EXPECT_EQ(potenz_10(0.5f), -1);
    EXPECT_EQ(potenz_10(0.05f), -2);
    EXPECT_EQ(potenz_10(0.1f), -2);
}

TEST(Addexp2, ExactSumsOfScaledIntegers) {
    std::int32_t m1 = 3, e1 = 1, m2 = 1, e2 = 0, m = 0, e = 0;
    addexp2(m1, e1, m2, e2, m, e);   // 6 + 1 = 7
    EXPECT_EQ(m, 7);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(m1, 6);                 // the aligned operand is rewritten
    EXPECT_EQ(e1, 0);
    m1 = 1, e1 = 0, m2 = 1, e2 = 0;
    addexp2(m1, e1, m2, e2, m, e);   // 1 + 1 = 2 = 1 * 2^1
    EXPECT_EQ(m, 1);
    EXPECT_EQ(e, 1);
    m1 = 5, e1 = 3, m2 = 3, e2 = 3;
    addexp2(m1, e1, m2, e2, m, e);   // 40 + 24 = 64 = 2^6
    EXPECT_EQ(m, 1);
    EXPECT_EQ(e, 6);
    m1 = 2, e1 = -3, m2 = -2, e2 = -3;
    addexp2(m1, e1, m2, e2, m, e);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(e, 0);
    m1 = 1, e1 = 40, m2 = 1, e2 = 0;  // alignment beyond 4 bytes saturates, no overflow
    addexp2(m1, e1, m2, e2, m, e);
    EXPECT_GT(static_cast<double>(m) * std::ldexp(1.0, e), 2.0e9);
}
