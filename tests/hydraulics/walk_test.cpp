// The water-level walk through plants without divisions: flumes against an
// independent backwater integration, the downstream boundary, weirs, walls,
// pumps, screens and measurement flumes against closed-form hydraulics.
#include <gtest/gtest.h>

#include <cmath>

#include "hydraulics/m_rivola_vena_contracta.h"
#include "common/hydraulic_refs.h"
#include "common/plant_builder.h"
#include "hydraulics/hyawsp.h"
#include "output/listing_data.h"
#include "support/m_strings.h"

namespace rivola {
namespace {

using test::Prof;

struct Walk : test::PlantBench {
    Plant& p() { return ctx.plant; }
    Element& at(int i) { return ctx.plant.el[i]; }
    void run() {
        hyd::start(ctx);
        hyd::wsp_rivola(ctx);
    }
};

// Q_IN -> G_1 -> mid -> G_2 on level inverts: the flumes L long at z, the
// middle element Lmid long at z, the lower flume at zBelow; Q everywhere.
void chain(Walk& w, const std::string& mid, const Prof& r, float L, float z, float Lmid,
           float zBelow, float Q) {
    w.add("Q_IN", "", "G_1", 1.0f, z, z, r);
    w.add("G_1", "Q_IN", mid, L, z, z, r);
    w.add(mid, "G_1", "G_2", Lmid, z, z, r);
    w.add("G_2", mid, "ENDE", L, zBelow, zBelow, r);
    w.finish(Q);
}

// Q -> G -> G, rectangular 1 m wide, Strickler 70, bed slope 1 per mille,
// 100 m each, 0.5 m3/s, 1.0 m deep at the outlet (an M1 backwater curve).
TEST(WalkFlumes, BackwaterAgainstIndependentIntegrationAndEnergyBalance) {
    Walk w;
    const Prof r = Prof::rect(1.0f, 2.0f);
    w.add("Q_IN", "", "G_1", 1.0f, 100.2f, 100.2f, r);
    w.add("G_1", "Q_IN", "G_2", 100.0f, 100.1f, 100.2f, r);
    w.add("G_2", "G_1", "ENDE", 100.0f, 100.0f, 100.1f, r);
    w.finish(0.5f);
    w.p().all.Wasserstand = 101.0f;
    w.run();
    ASSERT_LT(w.ctx.run.ierr, 2);
    EXPECT_EQ(w.ctx.run.passes, 1);

    const double h100 = ref::gvf_manning(0.5, 1.0, 70.0, 0.001, 1.0, 100.0);
    const double h200 = ref::gvf_manning(0.5, 1.0, 70.0, 0.001, 1.0, 200.0);
    EXPECT_NEAR(w.at(3).res[1].h, 1.0, 1e-5);
    EXPECT_NEAR(w.at(3).res[2].h, h100, 0.005);
    EXPECT_NEAR(w.at(2).res[2].h, h200, 0.005);
    // the inlet element takes the junction only
    EXPECT_NEAR(w.at(1).res[1].h, w.at(2).res[2].h, 0.001);

    // energy: inlet = outlet + friction + single loss; junction adds HVU
    for (int i = 2; i <= 3; ++i) {
        const Element& e = w.at(i);
        EXPECT_NEAR(e.res[2].E(), e.res[1].E() + e.HVK + e.HVE1, 0.001) << e.bez;
        EXPECT_GT(e.HVK, 0.0f);
    }
    for (int i = 1; i <= 2; ++i) {
        const Element& e = w.at(i);
        const Element& d = w.at(i + 1);
        EXPECT_NEAR(e.res[1].E(), d.res[2].E() + e.HVU, 0.001) << e.bez;
    }
    // friction loss of the lower flume against the integrated friction slope
    double sf = 0.0;
    const int nstep = 200;
    for (int k = 0; k < nstep; ++k) {
        const double x = (k + 0.5) * 100.0 / nstep;
        sf += ref::sf_manning(0.5, 1.0, 70.0, ref::gvf_manning(0.5, 1.0, 70.0, 0.001, 1.0, x, 400)) *
              100.0 / nstep;
    }
    EXPECT_NEAR(w.at(3).HVK, sf, 0.001);
    // shear stress from the hydraulic diameter and friction slope
    const EndResult& o = w.at(3).res[1];
    EXPECT_NEAR(o.Tau, 0.25 * o.dhy * 9806.65 * o.I, 1e-3);
}

// Without a downstream water level the outlet runs at critical depth.
TEST(WalkBoundary, MissingLevelGivesCriticalDepthWithW40) {
    Walk w;
    const Prof r = Prof::rect(2.0f, 2.0f);
    w.add("Q_IN", "", "G_1", 1.0f, 50.0f, 50.0f, r);
    w.add("G_1", "Q_IN", "ENDE", 20.0f, 50.0f, 50.02f, r);
    w.finish(2.0f);
    w.run();
    ASSERT_LT(w.ctx.run.ierr, 2);
    const double hc = ref::hc_rect(2.0, 2.0);  // 0.4672 m
    EXPECT_NEAR(w.at(2).res[1].h, hc, 0.001);
    EXPECT_EQ(w.at(2).res[1].bem[1], "gr");
    EXPECT_NEAR(w.p().all.Wasserstand, 50.0 + hc, 0.001);
    EXPECT_EQ(w.ctx.run.ierr, 1);
    const std::string cl = w.closed_checklist();
    EXPECT_NE(cl.find("unterhalb der Grenztiefe"), std::string::npos) << cl;
    // upstream of critical flow the flume stays subcritical and deeper
    EXPECT_GT(w.at(2).res[2].h, w.at(2).res[1].h);
}


// Q -> G -> U -> G: a rectangular crest 1 m wide, mu 0.6; or the weir at the
// plant's outlet.
struct WeirPlant {
    Walk w;
    WeirPlant(float tail, float nc, bool outlet = false) {
        const Prof r = Prof::rect(1.0f, 2.0f);
        w.add("Q_IN", "", "G_1", 1.0f, 20.5f, 20.5f, r);
        w.add("G_1", "Q_IN", "U_1", 10.0f, 20.49f, 20.5f, r);
        w.add("U_1", "G_1", outlet ? "ENDE" : "G_2", 0.0f, 21.0f, 21.0f, r);
        if (!outlet) w.add("G_2", "U_1", "ENDE", 10.0f, 20.0f, 20.01f, r);
        w.finish(0.1f);
        WeirData& u = w.p().ueb[1];
        u.mue = 0.6f;
        u.n_c = nc;
        u.H = 0.0f;
        u.BU = u.BO = 1.0f;
        u.N = 1.0f;
        w.p().all.Wasserstand = tail;
        w.run();
    }
};

// Free overflow follows the weir law; tail water above the crest is
// iterated or taken by the reduction formula.
TEST(WalkWeir, FreeOverflowOrTailWaterAboveTheCrest) {
    const double hu = ref::weir_head(0.1, 0.6, 1.0);  // free head 0.1472 m
    const struct {
        const char* what;
        float tail, nc;   // tail water level, exponent of the reduction formula
        bool outlet;      // the weir is the plant's outlet
        char kind;
        const char* remark;
    } cases[] = {
        {"tail water 0.7 m below the crest", 20.3f, 0.0f, false, 'F', ""},
        {"the same at the plant's outlet", 20.3f, 0.0f, true, 'F', ""},
        {"no tail water given at the plant's outlet", kMissing, 0.0f, true, 'F', ""},
        {"tail water 0.25 m above the crest, no exponent", 21.25f, 0.0f, false, 'T', "uv"},
        {"the reduction formula with exponent 1.5", 21.25f, 1.5f, false, 'T', "µ'"},
        {"tail water above the crest, below the free head", 21.1f, 0.0f, false, 'F', "ü"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WeirPlant wp(c.tail, c.nc, c.outlet);
        Walk& w = wp.w;
        ASSERT_LT(w.ctx.run.ierr, 2);
        const Element& u = w.at(3);
        EXPECT_EQ(w.p().ueb[1].kind, c.kind);
        EXPECT_EQ(u.res[2].bem[5], c.remark);
        // the reduction makes the head larger than the free head
        if (c.nc > 0.0f) { EXPECT_GT(u.res[2].h, hu); }
        if (c.tail < 21.0f) {
            EXPECT_NEAR(u.res[2].h, hu, 0.001);
            // a weir has no length: its outlet end holds the state over the crest
            const EndResult &o = u.res[1], &cr = u.res[2];
            EXPECT_GT(cr.I, 0.0f);
            for (auto [x, y] : {std::pair{o.h, cr.h}, {o.A, cr.A}, {o.v, cr.v}, {o.I, cr.I}, {o.he, cr.he}})
                EXPECT_FLOAT_EQ(x, y);
            // the flume above sees the weir's energy level, not the tail water
            EXPECT_NEAR(w.at(2).res[1].E(), u.res[2].E(), 0.001);
            EXPECT_GT(w.at(2).res[1].WSP(), 21.0f + hu - 0.01);
        }
        if (c.kind != 'T' || c.nc > 0.0f) continue;
        // over the crest the energy equals the tail energy plus the Borda loss
        const Element& d = w.at(4);
        const double dz = 21.0 - d.res[2].z;
        const double v1 = d.res[2].v, v2 = u.res[2].v;
        const double A1 = d.res[2].A, A2 = u.res[2].A;
        const double wgt = A1 > A2 ? 1.2 : 0.5;
        double loss = v1 * v1 * std::pow(1.0 - A1 / A2, 2.0) * wgt / (2.0 * ref::kG);
        loss = std::min(loss, std::fabs(v1 * v1 - v2 * v2) / (2.0 * ref::kG));
        EXPECT_NEAR(u.res[2].he, d.res[2].he - dz + loss, 0.0006);
        EXPECT_NEAR(u.HVU, loss, 1e-4);
        EXPECT_GT(u.res[2].h, 0.1f);
    }
}


TEST(WalkWall, SluiceGateReportsTheContractedInflowLoss) {
    Walk w;
    chain(w, "W_1", Prof::rect(1.0f, 3.0f), 5.0f, 30.0f, 0.0f, 29.5f, 0.1f);
    w.at(3).kurzbez = "Schuetz";
    w.p().schuetzPresent = true;
    WallData& wd = w.p().wand[1];
    wd.T = 'T';
    wd.H = 0.05f;  // a low gate opening: the water above it is many times its height
    wd.BU = wd.BO = 0.5f;
    wd.n = 1;
    w.at(3).zeta = 3.0f;
    w.p().all.Wasserstand = 30.0f;  // 0.5 m in the lower flume: below the gate's invert
    hyd::vena_contracta_define(w.ctx);
    w.run();
    ASSERT_LT(w.ctx.run.ierr, 2);
    ASSERT_GE(w.at(3).res[2].h / 0.05f, 7.0f);
    const double zeta = 2.0 / (0.6215 * 0.6215);  // (zeta1 - 1) / psi^2 = zeta0 / 0.3863
    EXPECT_NEAR(w.p().wand[1].zetaVC, zeta, 0.002);
    const std::string cl = w.closed_checklist();
    EXPECT_NE(cl.find("Vena contracta"), std::string::npos) << cl;
    EXPECT_NE(cl.find(support::fmt_f(zeta, 7, 3)), std::string::npos) << cl;
}



// Q -> G -> M -> G: a throat 0.3 m wide in a 1 m flume with a 0.1 m sill.
struct FlumePlant {
    Walk w;
    explicit FlumePlant(float tail) {
        chain(w, "M_1", Prof::rect(1.0f, 2.0f), 5.0f, 1.0f, 2.0f, 1.0f, 0.1f);
        w.p().mes[1].b = 0.3f;
        w.p().mes[1].s = 0.1f;
        w.p().all.Wasserstand = tail;
        w.run();
    }
};

TEST(WalkMeasurementFlume, CriticalOnTheSillOrDrowned) {
    // low tail water: critical flow on the sill; 1 m of tail water drowns the throat
    for (const float tail : {1.2f, 2.0f}) {
        SCOPED_TRACE(tail);
        FlumePlant f(tail);
        Walk& w = f.w;
        ASSERT_LT(w.ctx.run.ierr, 2);
        EXPECT_EQ(w.at(3).res[2].bem[5] == "uv", tail > 1.5f);
        if (tail > 1.5f) continue;
        const double hc = ref::hc_rect(0.1, 0.3);
        EXPECT_NEAR(w.p().wsp.throat[1][2].h, hc, 0.002);
        for (const auto& t : {w.p().wsp.throat[1][1], w.p().wsp.throat[1][2]})
            EXPECT_NEAR(t.A, 0.3 * t.h, 1e-4);  // both halves end in the throat
        // the listing shows the sill as the flume's middle section
        const output::LineState t = output::throat_state(w.ctx, 3);
        ASSERT_TRUE(t.has);
        // the throat lies half the sill height below the mean invert, the sill
        // top half of it above: 0.5 (1.0 + 1.0 - 0.1) + 0.1
        EXPECT_NEAR(t.z, 1.05f, 1e-5);
        EXPECT_NEAR(t.h, hc, 0.002);
        // the inverts and profiles are restored after the computation
        EXPECT_FLOAT_EQ(w.at(3).prof[kProfUp].Z, 1.0f);
        EXPECT_FLOAT_EQ(w.at(3).L, 2.0f);
        EXPECT_NEAR(w.at(3).res[2].E(), w.at(3).res[1].E() + w.at(3).HVK + w.at(3).HVE1, 0.001);
    }
}


}  // namespace
}  // namespace rivola
