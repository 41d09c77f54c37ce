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
#include "common/plant_builder.h"
#include "model/context.h"

using namespace rivola;

namespace {

using ref::kG;

// Element 1 of a plant of one: an open rectangular flume 1 m wide and
// `height` high between the inverts Zdown (outlet end) and Zup, carrying
// 0.5 m3/s.
void flume(RunContext& ctx, float height, float L, float K, float Zdown, float Zup) {
    ctx.plant.resize(1);
    test::set_element(ctx, 1, "G1", T_G, L, K, test::rect_profile(Zdown, 1.0f, height),
                      test::rect_profile(Zup, 1.0f, height), 0.5f);
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
        flume(ctx, 3.0f, 200.0f, c.K, 100.0f, 100.2f);
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
        flume(ctx, 2.0f, 10.0f, 70.0f, 10.0f, 10.5f);
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
        flume(ctx, 2.0f, 10.0f, 70.0f, 10.4f, 10.4f);
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





