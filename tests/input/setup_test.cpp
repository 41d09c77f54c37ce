// System set-up: types and connections, strands, flow lengths, inflows,
// GEO preparation and the handling of broken element graphs.
#include <gtest/gtest.h>

#include "run/r_rivola.h"
#include "hydraulics/abfluss.h"
#include "input/input.h"
#include "input/logik.h"
#include "common/plant_builder.h"

using namespace rivola;
using rivola::test::SetupFixture;

// Q1 -> G2 -> A3 -> (G4 | G5) -> Z6 -> G7, with G4 20 m, G5 30 m, G2 10 m,
// G7 5 m long; the division's branches with their own inverts and losses.
TEST_F(SetupFixture, DivisionPlantTypesLinksStrandsLengthsAndBranches) {
    two_lanes();
    default_data();
    for (auto [n, L] : {std::pair{"G2", 10.0f}, {"G4", 20.0f}, {"G5", 30.0f}, {"G7", 5.0f}}) el(n).geo.L = L;
    Element& a = el("A3");
    a.geo.u1.Z = 99.8f, a.geo.u2.Z = 99.5f;   // branch 2 lower than branch 1
    a.geo.C = 0.3f, a.geo.C2 = 0.6f;
    for (int j = 1; j <= 6; ++j) a.hve.zeta1[j] = 0.1f * j, a.hve.zeta2[j] = 0.2f * j;
    a.hve.zeta2[5] = kMissing;
    run::set_up(ctx);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    const Plant& p = ctx.plant;
    EXPECT_EQ(std::pair(el("A3").iab[2], el("Z6").izu[2]), std::pair(idx("G5"), idx("G5")));
    EXPECT_TRUE(p.hasAZ);

    // The second outlet of the division opens strand 2; the confluence
    // continues the smaller strand.
    for (auto [n, s] : {std::pair{"G4", 1}, {"G5", 2}, {"Z6", 1}, {"G7", 1}}) EXPECT_EQ(el(n).istrang, s) << n;

    // Hand computed: G2 starts at 0, A3 at 10, both branches at 10; the
    // confluence ends the longer branch: 10 + 30 = 40; the element behind a
    // confluence starts where it ends.
    for (auto [n, x] : {std::pair{"G2", 0.0f}, {"A3", 10.0f}, {"G4", 10.0f}, {"G5", 10.0f},
                        {"Z6", 40.0f}, {"G7", 40.0f}})
        EXPECT_FLOAT_EQ(el(n).flaenge, x) << n;
    const DivisionData& d = ctx.plant.auf[1];
    EXPECT_EQ(d.tflag, 'T');
    // a missing value of a table (zt[5] of branch 2) becomes 0.00004
    test::expect_floats({p.zus[1].flaenge[1], p.zus[1].flaenge[2], a.prof[kProfBranch2].Z, a.prof[kProfBranch1].Z,
                         d.br[1].c, d.br[2].c, d.br[1].zt[3], d.br[2].zt[5], d.br[2].zt[6]},
                        {30.0f, 40.0f, 99.5f, 99.8f, 0.3f, 0.6f, 0.3f, 0.00004f, 1.2f});
}


TEST_F(SetupFixture, FlumeLengthsSiphonWeirsAndSluiceGates) {
    // An element behind a distribution flume of 10 m starts 5 m beyond the
    // flume's start; a weir behind it and a collection flume after it.
    // Consecutive marked pressure pipes form one siphon weir; an unmarked one
    // between them separates two.
    plant({{"Q1", "", "G2"},
           {"G2", "Q1", "V3"},
           {"V3", "G2", "U4"},
           {"U4", "V3", "S5"},
           {"S5", "U4", "G6"},
           {"G6", "S5", "D7"},
           {"D7", "G6", "D8"},
           {"D8", "D7", "D9"},
           {"D9", "D8", "D10"},
           {"D10", "D9", "G11"},
           {"G11", "D10", "W12"},
           {"W12", "G11", "G13"},
           {"G13", "W12", "ENDE"}});
    default_data();
    el("G2").geo.L = 8.0f;
    for (auto [n, text] : {std::pair{"D7", "Heber #heber 1"}, {"D8", "#HEBER"}, {"D10", "#Heber zwei"},
                           {"W12", "Schieber #schuetz"}})
        el(n).beschreibung = text;
    input::insys(ctx);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    // weirs have no length
    for (auto [n, x] : {std::pair{"V3", 8.0f}, {"U4", 13.0f}, {"S5", 13.0f}, {"G6", 18.0f}})
        EXPECT_FLOAT_EQ(el(n).flaenge, x) << n;
    const SiphonWeirs& h = ctx.plant.heber;
    ASSERT_EQ(h.n, 2);
    EXPECT_EQ(std::vector({h.first[1], h.last[1], h.first[2], h.last[2]}), std::vector({7, 8, 10, 10}));
    EXPECT_EQ(el("D7").kurzbez + el("D9").kurzbez + el("W12").kurzbez, "HeberSchuetz");
    EXPECT_TRUE(h.present && ctx.plant.schuetzPresent);
}

TEST_F(SetupFixture, InflowsInLitresOrCubicMetresPerHour) {
    plant({{"Q1", "", "G2"}, {"G2", "Q1", "Q3"}, {"Q3", "G2", "G4"}, {"G4", "Q3", "ENDE"}});
    default_data();
    el("Q1").Q = 3600.0f, el("Q3").Q = -360.0f;
    ctx.plant.all.Q_ls = "N";                 // m3/h
    input::insys(ctx);
    ASSERT_TRUE(hyd::qmnmx(ctx));
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_NEAR(ctx.plant.qzu[1], 1.0f, 1e-6f);
    EXPECT_NEAR(ctx.plant.qzu[2], -0.1f, 1e-6f);
    // Bounds: 1.0 m3/s in, 0.1 m3/s out.
    EXPECT_NEAR(el("G4").res[1].Q, 0.9f, 1e-6f);

    ctx.plant.all.Q_ls = "", el("Q1").Q = 1000.0f;   // blank: l/s
    input::inqzu(ctx);
    EXPECT_NEAR(ctx.plant.qzu[1], 1.0f, 1e-6f);
}

TEST_F(SetupFixture, GeoPreparation) {
    // Inverts raised by the datum, a missing downstream invert taking the
    // upstream one, the roughness of an earlier element, Borda coefficients,
    // a wall's profiles and a circle given by its diameter.
    plant({{"Q1", "", "G2"},
           {"G2", "Q1", "G3"},
           {"G3", "G2", "G4"},
           {"G4", "G3", "W5"},
           {"W5", "G4", "G6"},
           {"G6", "W5", "D7"},
           {"D7", "G6", "ENDE"}});
    default_data(2.0f);
    ctx.plant.all.Bezug = 100.0f;
    el("G2").geo.o1.Z = 2.00f, el("G2").geo.u1.Z = 1.95f, el("G2").geo.K = 1.5f;
    el("G3").geo.K = kMissing, el("G3").geo.u1.Z = kMissing, el("G3").geo.C = 0.00001f;
    el("G4").geo.C = kMissing;
    // a circle given by its diameter only
    Element& d = el("D7");
    d.geo.o1 = GeoProfileInput{};
    d.geo.o1.Z = 1.9f, d.geo.o1.T = "K", d.geo.o1.B[1] = 0.8f;
    run::set_up(ctx);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    // G4's Borda coefficient: its outlet is a wall. The wall's downstream profile is its upstream
    // one, normalised; a circle is a closed pipe of half its diameter at the crown.
    const EndProfile &w = el("W5").prof[kProfDown], &pr = d.prof[kProfUp];
    EXPECT_EQ(std::string(w.T, 2) + std::to_string(w.n) + std::string(pr.T, 2), "oT1gK");
    test::expect_floats({el("G2").prof[kProfUp].Z, el("G2").prof[kProfDown].Z, el("G3").prof[kProfDown].Z,
                         el("G3").geo.K, el("G3").geo.C, el("G4").geo.C, el("G2").geo.C, w.B[0], w.H[1], pr.HS,
                         pr.H[1]},
                        {102.00f, 101.95f, el("G3").prof[kProfUp].Z, 1.5f, 0.00004f, 0.00004f, 0.0f, 1.0f, 1.0f,
                         0.4f, 0.4f});
}
