// Weir heads, crest flow and the sluice formula against independent
// references: closed forms of the weir law and a numerical integration of the
// jet profile over the notch, solved in double precision here.
#include <gtest/gtest.h>

#include <cmath>

#include "common/hydraulic_refs.h"
#include "hydraulics/hydraul_weir.h"
#include "model/context.h"

using namespace rivola;

namespace {

using ref::bisect;
using ref::kG;

// Width of a notch at height z above the crest.
double notch_width(double z, double H1, double b0, double b1, double b2) {
    if (H1 > 0.0 && z < H1) return b0 + (b1 - b0) * z / H1;
    return H1 > 0.0 ? b2 : b0;
}

// Discharge over a free weir by integrating mu*sqrt(2g(h-z))*b(z) over the
// wetted height with Simpson's rule in the variable s = sqrt(h - z), which
// removes the square-root singularity at the surface.
double q_integrated(double h, int n, double mue, double H1, double b0, double b1, double b2) {
    const int N = 2000;
    const double smax = std::sqrt(h);
    auto f = [&](double s) {
        const double z = h - s * s;
        return notch_width(z, H1, b0, b1, b2) * s * 2.0 * s;  // b(z)*sqrt(h-z)*dz/ds
    };
    double sum = f(0.0) + f(smax);
    for (int k = 1; k < N; ++k) sum += f(smax * k / N) * (k % 2 ? 4.0 : 2.0);
    return n * mue * std::sqrt(2.0 * kG) * sum * smax / N / 3.0;
}

}  // namespace


TEST(Hwehr, NotchesAgainstIntegratedWeirLaw) {
    struct Case {
        double H1, b0, b1, b2, Q;
    };
    // V-notch (b0 = 0, m = 1) below and above its capacity at H1 = 0.3 m
    // (Q1 = 8/15*0.6*sqrt(2g)*0.3^2.5 = 0.0699 m3/s), a trapezoid within and
    // above the notch, and a rectangular notch below wider walls.
    const Case cases[] = {
        {0.3, 0.0, 0.6, 1.0, 0.03}, {0.3, 0.0, 0.6, 1.0, 0.2},  {0.25, 0.2, 0.7, 1.2, 0.04},
        {0.25, 0.2, 0.7, 1.2, 0.5}, {0.2, 0.5, 0.5, 1.5, 0.25}, {0.2, 0.5, 0.5, 1.5, 0.05},
    };
    for (const Case& c : cases) {
        RunContext ctx;
        const double mue = 0.6;
        const float h = hyd::hwehr(ctx, "T", float(c.Q), float(mue), 1, float(c.H1), float(c.b0),
                                   float(c.b1), float(c.b2));
        const double ref = bisect(
            [&](double y) { return q_integrated(y, 1, mue, c.H1, c.b0, c.b1, c.b2) - c.Q; }, 1e-6,
            5.0);
        EXPECT_EQ(ctx.run.ierr, 0);
        EXPECT_NEAR(h, ref, 2e-4 * ref + 2e-5) << "H1=" << c.H1 << " b0=" << c.b0 << " Q=" << c.Q;
        // and the weir law itself agrees with the integrated one
        EXPECT_NEAR(hyd::q_weir(float(ref), 1, float(mue), float(c.H1), float(c.b0), float(c.b1),
                                float(c.b2)),
                    c.Q, 2e-4 * c.Q);
    }
}

TEST(HwehrUnvollkommen, SubmergedAndDrowned) {
    // Rectangular crest 1 m, mu 0.6, submergence exponent 1.5; the upstream
    // head satisfies Q = c*mu*sqrt(1-(hu/h)^p)*b*h^1.5.
    const double Q = 0.3, mue = 0.6, p = 1.5, hu = 0.2;
    RunContext ctx;
    const float h =
        hyd::hwehr_unvollkommen(ctx, "T", float(Q), float(hu), float(mue), float(p), 1, 0.0f,
                                1.0f, 1.0f, 1.0f);
    const double c = 2.0 / 3.0 * std::sqrt(2.0 * kG);
    const double ref = bisect(
        [&](double y) { return c * mue * std::sqrt(1.0 - std::pow(hu / y, p)) * std::pow(y, 1.5) - Q; },
        hu + 1e-9, 5.0);
    EXPECT_EQ(ctx.run.ierr, 0);
    EXPECT_NEAR(h, ref, 1e-3);
    EXPECT_GT(h, hyd::hwehr(ctx, "T", float(Q), float(mue), 1, 0.0f, 1.0f, 1.0f, 1.0f));

    // The same law over a trapezoidal notch, whose free head is itself found
    // by iteration inside each trial of the submerged one.
    RunContext c2;
    const double H1 = 0.25, b0 = 0.2, b1 = 0.7, b2 = 1.2, Qt = 0.15, hut = 0.3;
    const float ht = hyd::hwehr_unvollkommen(c2, "T", float(Qt), float(hut), float(mue), float(p),
                                             1, float(H1), float(b0), float(b1), float(b2));
    const double reft = bisect(
        [&](double y) {
            return std::sqrt(1.0 - std::pow(hut / y, p)) * q_integrated(y, 1, mue, H1, b0, b1, b2) -
                   Qt;
        },
        hut + 1e-9, 5.0);
    EXPECT_EQ(c2.run.ierr, 0);
    EXPECT_NEAR(ht, reft, 1e-3);

    // A small discharge under a deep tailwater: the weir is drowned and the
    // upstream head is the downstream one.
    RunContext ctx2;
    const float hd = hyd::hwehr_unvollkommen(ctx2, "T", 0.005f, 1.0f, 0.6f, 1.5f, 1, 0.0f, 1.0f,
                                             1.0f, 1.0f);
    EXPECT_EQ(ctx2.run.ierr, 0);
    EXPECT_FLOAT_EQ(hd, 1.0f);
}

TEST(Fktueb, AreaVelocityEnergyOverCrest) {
    float A, v, hE;
    // Two trapezoidal notch fields 0.4 -> 0.8 m over 0.2 m, 2.0 m above:
    // A = 0.2*2*(0.4+0.8)/2 + 0.3*2.0 = 0.84 m2
    hyd::fktueb(0.5f, 0.3f, 2, 0.2f, 2.0f, 0.4f, 0.8f, A, v, hE);
    EXPECT_NEAR(A, 0.84, 1e-6);
    EXPECT_NEAR(v, 0.3 / 0.84, 1e-6);
    EXPECT_NEAR(hE, 0.5 + (0.3 / 0.84) * (0.3 / 0.84) / (2 * kG), 1e-6);
    // Within the notch: half of it filled, width 0.6 at 0.1 m: A = 2*0.1*0.5
    hyd::fktueb(0.1f, 0.05f, 2, 0.2f, 2.0f, 0.4f, 0.8f, A, v, hE);
    EXPECT_NEAR(A, 0.1, 1e-6);
    // Plain crest: only the width above it counts; zero depth gives zero velocity.
    hyd::fktueb(0.0f, 0.1f, 1, 0.0f, 1.0f, 1.0f, 1.0f, A, v, hE);
    EXPECT_FLOAT_EQ(A, 0.0f);
    EXPECT_FLOAT_EQ(v, 0.0f);
    EXPECT_FLOAT_EQ(hE, 0.0f);
}

