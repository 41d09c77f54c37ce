// Inflow loss of a sluice gate corrected for the contraction of the jet,
// against the fixed point of the contraction law found here by bisection.
#include <gtest/gtest.h>

#include <cmath>

#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/m_rivola_vena_contracta.h"
#include "run/context.h"

using namespace rivola;

namespace {

constexpr double kG = 9.80665;

// Contraction coefficient over h/a of a sharp-edged sluice gate.
double psi_of(double r) {
    const double ha[] = {1.0, 1.05, 1.1, 1.5, 1.65, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 100.0};
    const double ps[] = {1.0, 0.75, 0.7, 0.65, 0.64, 0.63, 0.624, 0.623, 0.6225, 0.622, 0.6215,
                         0.6215};
    if (r <= ha[0]) return ps[0];
    for (int k = 1; k < 12; ++k)
        if (r <= ha[k]) return ps[k - 1] + (ps[k] - ps[k - 1]) * (r - ha[k - 1]) / (ha[k] - ha[k - 1]);
    return ps[11];
}

// A sluice-gate wall (element 2, wall row 1) whose opening is a closed
// rectangle a high and b wide; its outlet end holds the energy height `base`
// and the velocity v in the opening, its inlet end the state by the plain
// loss coefficient zeta.
struct Gate {
    RunContext ctx;
    double a, b, Q, base, v, zeta;
    int n;
    // Q is the discharge of one of the n openings.
    Gate(double a_, double b_, double Q_, double base_, double zeta_, int n_ = 1)
        : a(a_), b(b_), Q(Q_), base(base_), v(Q_ / (a_ * b_)), zeta(zeta_), n(n_) {
        Plant& p = ctx.plant;
        p.resize(2);
        Element& e = p.el[2];
        e.bez = "W1";
        e.ityp = T_W;
        e.kurzbez = "Schuetz";
        e.geo.L = 0.0f;
        e.L = 0.0f;
        e.geo.K = 70.0f;
        e.zeta = float(zeta);
        for (int s : {kProfDown, kProfUp}) {
            EndProfile& pr = e.prof[s];
            pr.T[0] = 'g';
            pr.T[1] = 'T';
            pr.Z = 20.0f;
            pr.H.fill(0.0f);
            pr.B.fill(0.0f);
            pr.B[1] = float(b);
            pr.H[2] = float(a);
            pr.B[2] = float(b);
        }
        hyd::profil(ctx, 2);
        e.res[1].Q = e.res[2].Q = float(n * Q);
        e.res[1].he = float(base);
        e.res[1].v = float(v);
        const double vh = v * v / (2 * kG);
        e.HVE1 = float(vh * (zeta - 1.0));
        e.res[2].he = float(base + e.HVE1);
        p.wand.resize(2);
        p.wand[1].T = 'T';
        p.wand[1].H = float(a);
        p.wand[1].BU = p.wand[1].BO = float(b);
        p.wand[1].n = n;
        p.schuetzPresent = true;
        hyd::vena_contracta_define(ctx);
        // the wall computation has loaded one opening and found the inlet
        // state in it by the plain coefficient, then counted all openings
        e.iord = 1;
        hyd::qerwan(ctx, 2);
        hyd::hvonhe(ctx, "HYAWAN", 2, 2, 0.0f, e.res[2].he);
        ctx.cs.sec[2].A *= float(n);
    }
    // Pressure head in the opening for the inflow coefficient zeta0/psi^2
    // at the depth itself: the fixed point, by bisection.
    double fixed_depth() const {
        const double vh = v * v / (2 * kG), z0 = zeta - 1.0;
        double lo = 0.0, hi = 100.0;
        for (int k = 0; k < 200; ++k) {
            const double h = 0.5 * (lo + hi);
            const double g = base + vh * z0 / std::pow(psi_of(h / a), 2) - vh - h;
            (g > 0 ? lo : hi) = h;
        }
        return 0.5 * (lo + hi);
    }
};

}  // namespace

TEST(VenaContracta, DeepWaterSettlesAtSharpEdgedContraction) {
    // a = 0.1 m and a pressure head near 1 m: h/a >= 7 throughout, so
    // psi = 0.6215 and zeta = zeta0/0.6215^2 = 0.5/0.38626. Two openings.
    Gate g(0.1, 0.5, 0.1, 1.0, 1.5, 2);
    const float hve1 = g.ctx.plant.el[2].HVE1;
    hyd::vena_contracta(g.ctx, 2, 1);
    ASSERT_EQ(g.ctx.run.ierr, 0);
    const double zeta = 0.5 / (0.6215 * 0.6215);
    EXPECT_NEAR(g.ctx.plant.wand[1].zetaVC, zeta, 1e-4);
    const double vh = g.v * g.v / (2 * kG);
    const double hE = 1.0 + vh * zeta;
    const Element& e = g.ctx.plant.el[2];
    const auto& in = g.ctx.cs.sec[2];
    EXPECT_NEAR(in.he, hE, 1e-4);
    EXPECT_NEAR(in.h, hE - vh, 2e-4);
    EXPECT_NEAR(in.h, g.fixed_depth(), 2e-4);
    EXPECT_NEAR(in.A, 2 * g.a * g.b, 1e-6);
    // the single loss grows by the extra inflow loss
    EXPECT_NEAR(e.HVE1 - hve1, vh * (zeta - 0.5), 1e-4);
}



