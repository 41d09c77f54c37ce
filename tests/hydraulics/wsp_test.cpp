// Water surface along flumes: the stepped energy and momentum balances against
// independent integrations of the gradually and spatially varied flow
// equations (Runge-Kutta in double precision, done here), and hand
// calculations of critical flow and of pressure flow.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "hydraulics/geomet.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_wsp.h"
#include "common/hydraulic_refs.h"
#include "run/context.h"

using namespace rivola;

namespace {

using ref::kG;

// A profile of the database kind: layer heights and widths from the bottom.
EndProfile rect_profile(char top, float Z, float b, float height) {
    EndProfile p;
    p.T[0] = top;
    p.T[1] = 'T';
    p.Z = Z;
    p.HS = 0.0f;
    p.H.fill(0.0f);
    p.B.fill(0.0f);
    p.H[1] = 0.0f;  // the first pair gives the bottom width
    p.B[1] = b;
    p.H[2] = height;
    p.B[2] = b;
    return p;
}

// Element i of the plant: a rectangular conduit between the inverts Zdown
// (node 1, outlet end) and Zup (node 2) carrying Q at both nodes.
void rect_element(RunContext& ctx, int i, const char* name, int ityp, char top, float b,
                  float height, float L, float K, float Zdown, float Zup, float Qdown, float Qup) {
    Element& e = ctx.plant.el[i];
    e.bez = name;
    e.ityp = ityp;
    e.geo.L = L;
    e.geo.K = K;
    e.L = L;
    e.prof[kProfDown] = rect_profile(top, Zdown, b, height);
    e.prof[kProfUp] = rect_profile(top, Zup, b, height);
    hyd::profil(ctx, i);
    e.res[1].Q = Qdown;
    e.res[2].Q = Qup;
}

// Puts the state at depth h of the section loaded at the entry node of
// element i into the current section.
void entry_state(RunContext& ctx, int i, float h, std::string_view caller = "HYATRS") {
    auto& cs = ctx.cs;
    cs.sec[2].h = h;
    hyd::qergeo(ctx, caller, 1, i, 0.0f);
    auto& s2 = cs.sec[2];
    s2.h = h;
    s2.z = cs.Zx;
    s2.Q = cs.Qx;
    hyd::fkthya(ctx, caller, cs.Qx, h, s2.A, s2.Ag, s2.B, s2.dhy, s2.v, s2.I, s2.he);
    s2.P = hyd::pstat(ctx, h);
}

// Puts a section below an element of no length into the previous-section
// slot and computes the entry step of element 1 from it.
void entry_step(RunContext& ctx, float z, float h, float Q, float A, float v, float he) {
    auto& s1 = ctx.cs.sec[2];  // becomes the previous section below
    s1.z = z;
    s1.h = h;
    s1.Q = Q;
    s1.A = A;
    s1.v = v;
    s1.he = he;
    hyd::prf21(ctx);
    ctx.cs.dx = 0.0f;
    hyd::qergeo(ctx, "HYANEU", 1, 1, 0.0f);
    hyd::hevgl(ctx, "HYANEU", 1, 1, 0.0f);
}




// Runs ber0i over the whole length of element i from the depth h0 at its
// entry; returns the depth at its upstream end.
float backwater(RunContext& ctx, int i, float h0, float& sumR, float& sumL,
                std::vector<hyd::SurfacePoint>* track = nullptr) {
    entry_state(ctx, i, h0);
    float x = 0.0f;
    hyd::ber0i(ctx, "HYATRS", i, x, ctx.plant.el[i].L, sumR, sumL, track);
    EXPECT_FLOAT_EQ(x, ctx.plant.el[i].L);
    return ctx.cs.sec[2].h;
}

}  // namespace

TEST(Ber0i, BackwaterAgainstIntegratedFlowEquation) {
    // b = 1 m, Q = 0.5 m3/s, slope 0.001 over 200 m, 1.0 m deep at the outlet:
    // normal depth 0.55 m, critical 0.294 m, so an M1 backwater curve.
    struct Case {
        float K;
        std::function<double(double)> Sf;
    };
    const Case cases[] = {
        {70.0f, [](double h) { return ref::sf_manning(0.5, 1.0, 70.0, h); }},
        {1.5f, [](double h) { return ref::sf_colebrook(0.5, 1.0, 0.0015, h); }},  // ks in mm
    };
    for (const Case& c : cases) {
        RunContext ctx;
        ctx.plant.resize(1);
        rect_element(ctx, 1, "G1", T_G, 'o', 1.0f, 3.0f, 200.0f, c.K, 100.0f, 100.2f, 0.5f, 0.5f);
        float sumR = 0, sumL = 0;
        const float hup = backwater(ctx, 1, 1.0f, sumR, sumL);
        const double want = ref::gvf_rect(0.5, 1.0, 0.001, 1.0, 200.0, c.Sf, 20000);
        ASSERT_EQ(ctx.run.ierr, 0);
        EXPECT_NEAR(hup, want, 0.001) << "K = " << c.K;
        // The energy line rises against the flow by the losses booked along
        // the element, E(up) - E(down) = sumR + sumL, up to the tolerance of
        // the balances (each step ends with at most 0.001 of its share of
        // the length in surplus).
        const double v0 = 0.5 / 1.0, vup = 0.5 / hup;
        const double Edown = 100.0 + 1.0 + v0 * v0 / (2 * kG);
        const double Eup = 100.2 + hup + vup * vup / (2 * kG);
        EXPECT_NEAR(Eup - Edown, sumR + sumL, 1.5e-3);
        EXPECT_GE(Eup - Edown, sumR + sumL - 1e-4);
        EXPECT_GT(sumR, 0.0f);
    }
}


TEST(Hevgl, SurplusAtCriticalDepthBookedAsLoss) {
    // b = 1 m, Q = 0.5 m3/s: hc = (Q^2/(g b^2))^(1/3), hEc = 1.5 hc.
    const double hc = std::cbrt(0.25 / kG);
    // Inside a steep element (0.5 m rise over 10 m) starting from critical
    // flow: the critical depth upstream has more energy than needed; the
    // surplus, equal to the rise of the invert, is friction loss of the step.
    {
        RunContext ctx;
        ctx.plant.resize(1);
        rect_element(ctx, 1, "G1", T_G, 'o', 1.0f, 2.0f, 10.0f, 70.0f, 10.0f, 10.5f, 0.5f, 0.5f);
        entry_state(ctx, 1, float(hc));
        ctx.cs.dx = 10.0f;
        hyd::prf21(ctx);
        hyd::qergeo(ctx, "HYATRS", 2, 1, 10.0f);
        hyd::hevgl(ctx, "HYATRS", 2, 1, 10.0f);
        EXPECT_EQ(ctx.run.ierr, 0);
        EXPECT_NEAR(ctx.cs.sec[2].h, hc, 2e-4);
        EXPECT_EQ(ctx.cs.bem[1], "gr");
        EXPECT_NEAR(ctx.cs.hR, 0.5, 5e-4);
        EXPECT_FLOAT_EQ(ctx.cs.hB, 0.0f);
        EXPECT_FLOAT_EQ(ctx.cs.hL, 0.0f);
    }
    // At the entry of an element standing 0.4 m above critical flow below
    // it: the surplus is the transition loss of the entry.
    {
        RunContext ctx;
        ctx.plant.resize(1);
        rect_element(ctx, 1, "G1", T_G, 'o', 1.0f, 2.0f, 10.0f, 70.0f, 10.4f, 10.4f, 0.5f, 0.5f);
        entry_step(ctx, 10.0f, float(hc), 0.5f, float(hc), float(0.5 / hc), float(1.5 * hc));
        EXPECT_EQ(ctx.run.ierr, 0);
        EXPECT_NEAR(ctx.cs.sec[2].h, hc, 2e-4);
        EXPECT_EQ(ctx.cs.bem[1], "gr");
        EXPECT_NEAR(ctx.cs.hB, 0.4, 5e-4);
        EXPECT_FLOAT_EQ(ctx.cs.hR, 0.0f);
        EXPECT_FLOAT_EQ(ctx.cs.hL, 0.0f);
        EXPECT_NEAR(ctx.cs.vin, 0.5 / hc, 2e-3);
    }
}

TEST(Hevgl, StillWaterEntryBelowTheLevelOfTheSectionBelow) {
    // An element without discharge (a closed lane) whose invert lies 0.31 m
    // below the invert of the channel it opens into; that channel carries
    // 20 l/s at 0.411 m depth over 1.0556 m width. Without velocity in the
    // element its depth is the energy level below plus the Borda loss of the
    // entry, measured from its own invert. The channel's area is more than
    // twice the element's, so the entry loss is the whole velocity head below:
    // 1.2 (1 - A1/A2)^2 > 1 is capped at v1^2/(2g). Hence
    // h2 = h1 + 2 v1^2/(2g) - dz. Both an open flume and a closed conduit
    // running full (pressure flow).
    const float z1 = 100.3105f, h1 = 0.4111f, b1 = 1.0556f, q1 = 0.02f;
    const double A1 = double(b1) * h1, v1 = q1 / A1, hv1 = v1 * v1 / (2 * kG);
    const double dz = 100.0 - double(z1);
    const double h2 = h1 + 2 * hv1 - dz;  // about 0.7217 m
    for (const char top : {'o', 'g'}) {
        SCOPED_TRACE(top == 'o' ? "open flume" : "closed conduit");
        RunContext ctx;
        ctx.plant.resize(1);
        const float height = top == 'o' ? 2.0f : 0.5f;
        rect_element(ctx, 1, "D1", T_D, top, 0.2f, height, 20.0f, 70.0f, 100.0f, 100.02f, 0.0f,
                     0.0f);
        entry_step(ctx, z1, h1, q1, float(A1), float(v1), float(h1 + hv1));
        ASSERT_EQ(ctx.run.ierr, 0);
        const auto& s2 = ctx.cs.sec[2];
        EXPECT_NEAR(s2.h, h2, 5e-5);
        EXPECT_NEAR(s2.v, 0.0, 1e-6);
        EXPECT_NEAR(ctx.cs.hB, hv1, 2e-6);
        // the energy balance of the entry
        EXPECT_NEAR(100.0 + s2.he, z1 + h1 + hv1 + ctx.cs.hB, 5e-5);
        EXPECT_TRUE(ctx.cs.bem[1].empty());  // no critical flow in still water
        EXPECT_EQ(ctx.cs.bem[3], top == 'o' ? "" : "d");
    }
}



TEST(Impuls, DistributionFlumeWithUniformOutflow) {
    // A level distribution flume 1 m wide and 20 m long fed with 1 m3/s at
    // its upstream end and giving the water off uniformly along its length;
    // at its dead (downstream) end the water stands 0.8 m deep. The
    // spatially varied flow equation with outflow q = Q/L,
    //   dh/ds = (S0 - Sf - Q (dQ/ds)/(g A^2)) / (1 - Fr^2),  dQ/ds = -q,
    // is integrated against the flow here.
    const double b = 1.0, L = 20.0, Qin = 1.0, h0 = 0.8, kst = 70.0;
    RunContext ctx;
    ctx.plant.resize(1);
    rect_element(ctx, 1, "V1", T_V, 'o', float(b), 2.0f, float(L), float(kst), 10.0f, 10.0f, 0.0f,
                 float(Qin));
    entry_state(ctx, 1, float(h0), "HYAVER");
    ASSERT_NEAR(ctx.cs.sec[2].Q, 0.0f, 1e-6);
    float x = 0.0f, sumR = 0, sumL = 0;
    std::vector<hyd::SurfacePoint> track;
    hyd::impuls(ctx, "HYAVER", 1, T_V, x, float(L), sumR, sumL, &track);
    ASSERT_EQ(ctx.run.ierr, 0);
    EXPECT_FLOAT_EQ(x, float(L));

    auto dhdx_up = [&](double xx, double h) {
        const double Q = Qin * xx / L, A = b * h;
        const double Fr2 = Q * Q * b / (kG * A * A * A);
        const double dhds = (-ref::sf_manning(Q, b, kst, h) + Q * (Qin / L) / (kG * A * A)) /
                            (1.0 - Fr2);
        return -dhds;
    };
    std::vector<double> ref(1, h0);
    const int N = 20000;
    double h = h0;
    for (int k = 0; k < N; ++k) {
        const double xx = L * k / N, dx = L / N;
        const double k1 = dhdx_up(xx, h), k2 = dhdx_up(xx + dx / 2, h + dx / 2 * k1),
                     k3 = dhdx_up(xx + dx / 2, h + dx / 2 * k2), k4 = dhdx_up(xx + dx, h + dx * k3);
        h += dx / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    EXPECT_NEAR(ctx.cs.sec[2].h, h, 0.001);
    EXPECT_LT(h, h0 - 0.03);  // the effect tested is well above the tolerance

    // The depth rises in the direction of flow, from the inflow to the dead end.
    ASSERT_GE(track.size(), 2u);
    for (size_t k = 1; k < track.size(); ++k)
        EXPECT_LT(track[k].wsp, track[k - 1].wsp) << "x = " << track[k].x;
    // Mass: the flume carries the full inflow at its upstream end and loses
    // the same discharge on every metre of its length.
    EXPECT_NEAR(ctx.cs.sec[2].Q, Qin, 1e-5);
    const auto& c = ctx.cs;
    EXPECT_NEAR((c.sec[2].Q - c.sec[1].Q) / c.dx, Qin / L, 1e-4);
}

