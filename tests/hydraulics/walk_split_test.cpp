// The walk through plants where flows split and join, set up as a run sets
// them up: the split iteration at divisions against hand-computed branch
// losses, fixed and minimum splits, confluences, distribution and collection
// flumes, immersion tubes and siphon weirs, and a division that cannot
// balance.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <cmath>

#include "common/hydraulic_refs.h"
#include "common/plant_builder.h"
#include "hydraulics/hyawsp.h"
#include "hydraulics/lane_walk.h"
#include "hydraulics/pass_scope.h"
#include "input/input.h"
#include "output/listing_data.h"
#include "run/r_rivola.h"
#include "support/m_strings.h"

namespace rivola {
namespace {

using ref::kG;

struct SplitWalk : test::SetupFixture {
    // Sets the plant up as a run does, then walks it from the given level.
    void walk(float level) {
        ctx.plant.wsp = WspTables{};  // as the reset of a run leaves it
        run::set_up(ctx);
        ASSERT_LT(ctx.run.ierr, 2) << checklist();
        ctx.plant.all.Wasserstand = level;
        hyd::start(ctx);
        hyd::wsp_rivola(ctx);
    }
    int k(const std::string& name) { return el(name).iord; }
    // The given profiles of a division or confluence: invert z, width b, 1.5 m high.
    static void junction(Element& e, float z, float b) {
        for (GeoProfileInput* q : {&e.geo.o1, &e.geo.u1, &e.geo.o2, &e.geo.u2})
            if (given(q->Z)) {
                q->Z = z;
                q->B[1] = q->B[2] = b;
                q->H[2] = 1.5f;
            }
    }
    // Energy level at the inlet end of an element.
    float E2(const std::string& name) { return el(name).res[2].E(); }
};

// Energy level at the inlet of a division with no length, reached through a
// branch whose downstream element holds the energy level Eb: the local loss
// zeta v^2/(2g) with the velocity of the division's inlet section (rectangle
// of width b, invert z, discharge Q), solved by bisection for the depth.
double division_energy(double Eb, double zeta, double Q, double b, double z) {
    double lo = 0.001, hi = 10.0;
    for (int n = 0; n < 200; ++n) {
        const double h = 0.5 * (lo + hi);
        const double v = Q / (b * h);
        // energy carried by the section minus the energy it must have
        const double f = z + h + v * v / (2 * kG) - (Eb + zeta * v * v / (2 * kG));
        (f < 0 ? lo : hi) = h;
    }
    const double h = 0.5 * (lo + hi), v = Q / (b * h);
    return z + h + v * v / (2 * kG);
}

// Q1 -> G2 -> A3 -> (G4 | G5) -> Z6 -> G7: a free division onto two rough
// lanes 0.4 m wide (Strickler 40) that meet again; 200 l/s.
constexpr float kB = 0.4f, kK = 40.0f;

struct TwoLanes : SplitWalk {
    // The two lanes between their division and their confluence.
    void lanes() {
        two_lanes();
        default_data(100.0f);
    }
    void build(float L4, float L5) {
        lanes();
        rect(el("Q1"), 100.2f, kB, 1.5f);
        rect(el("G2"), 100.2f, kB, 1.5f, 10.0f, 100.19f);
        junction(el("A3"), 100.19f, kB);
        junction(el("Z6"), 100.1f, kB);
        rect(el("G4"), 100.19f, kB, 1.5f, L4, 100.1f);
        rect(el("G5"), 100.19f, kB, 1.5f, L5, 100.1f);
        rect(el("G7"), 100.1f, kB, 1.5f, 10.0f, 100.09f);
        for (const char* g : {"G2", "G4", "G5", "G7"}) el(g).geo.K = kK;
        el("Q1").Q = 200.0f;  // l/s
    }
};


TEST_F(TwoLanes, LongerBranchTakesLessUntilTheBranchEnergiesAgree) {
    build(20.0f, 120.0f);
    walk(100.9f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_GT(ctx.run.passes, 2);
    EXPECT_EQ(ctx.run.balance, 0);
    const double Q = 0.2, Q4 = el("G4").res[2].Q, Q5 = el("G5").res[2].Q;
    EXPECT_NEAR(Q4 + Q5, Q, 1e-5);
    EXPECT_GT(Q4, 0.11);  // the short lane carries the larger share

    // Hand calculation of both branches for the split found: each flume from
    // its outlet depth by an independent backwater integration, then the
    // division's branch loss.
    auto branch = [&](const std::string& g, double Qj) {
        const Element& e = el(g);
        const double L = e.L, S0 = (e.res[2].z - e.res[1].z) / L;
        const double h = ref::gvf_manning(Qj, kB, kK, S0, e.res[1].h, L);
        const double v = Qj / (kB * h);
        const double Eg = e.res[2].z + h + v * v / (2 * kG);
        EXPECT_NEAR(e.res[2].h, h, 0.005) << g;
        return division_energy(Eg, 0.5, Q, kB, 100.19);
    };
    const double E4 = branch("G4", Q4), E5 = branch("G5", Q5);
    EXPECT_NEAR(E4, E5, 0.002);
    EXPECT_NEAR(el("A3").res[2].E(), 0.5 * (E4 + E5), 0.003);
    // the lanes lose the same energy with different discharges
    EXPECT_NEAR(E2("G4") - el("G4").res[1].E(), E2("G5") - el("G5").res[1].E(), 0.002);    // the confluence adds the inflows, each inlet loses its own
    const Element& z = el("Z6");
    EXPECT_NEAR(z.res[1].Q, el("G4").res[1].Q + el("G5").res[1].Q, 1e-6);
    const ConfluenceData& cd = ctx.plant.zus[k("Z6")];
    for (int j = 1; j <= 2; ++j) {
        const BranchState& in = cd.inlet[j];
        EXPECT_NEAR(in.z + in.he, z.res[1].E() + in.hv, 0.001) << "inlet " << j;
        EXPECT_GE(in.hv, 0.0f);
        // the flume above hands over to the inlet without a jump in level
        const Element& u = el(j == 1 ? "G4" : "G5");
        EXPECT_NEAR(u.res[1].E(), in.z + in.he + u.HVU, 0.001);
    }
}


TEST_F(TwoLanes, FixedPercentageIsNeverIterated) {
    build(20.0f, 60.0f);
    el("A3").aufteilung1 = 60.0f;
    el("A3").aufteilung2 = 40.0f;
    walk(100.9f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_EQ(ctx.run.passes, 1);
    EXPECT_EQ(ctx.run.converged, 1);
    EXPECT_FLOAT_EQ(ctx.plant.aufteilung[k("A3")].value, 0.6f);
    EXPECT_NEAR(el("G4").res[2].Q, 0.12, 1e-6);
    // the branch that needs more energy governs the inlet
    const auto& br = ctx.plant.auf[k("A3")].branch;
    EXPECT_NEAR(el("A3").res[2].he, std::max(br[1].he, br[2].he), 1e-6);
}


// Q1 -> G2 -> A3 -> (G4 | G5) -> Z6 -> G7: a division whose narrow inlet
// (0.3 m) flows at critical depth onto two steep lanes (5 %), so that both
// branches are held at the inlet's critical energy whatever the split. The
// lanes then take the water by their capacity: each steep lane starts at its
// own critical depth, and the split is the one at which both need the same
// energy, z + 1.5 hc with hc = (q^2/g)^(1/3) per unit width (bisection).
struct CriticalInlet {
    float b4, b5;    // lane widths
    float drop5;     // invert of lane 5 below lane 4
};

double capacity_share(const CriticalInlet& c, double Q) {
    auto energy = [&](double q, double b, double z) {
        return z + 1.5 * std::cbrt((q / b) * (q / b) / kG);
    };
    double lo = 0.0, hi = Q;
    for (int n = 0; n < 200; ++n) {
        const double q4 = 0.5 * (lo + hi);
        (energy(q4, c.b4, 0.0) < energy(Q - q4, c.b5, -c.drop5) ? lo : hi) = q4;
    }
    return 0.5 * (lo + hi) / Q;
}

struct SplitAtCriticalInlet : TwoLanes {};

TEST_F(SplitAtCriticalInlet, OutletsShareByTheirCapacityAndTheCheckListSaysSo) {
    const CriticalInlet cases[] = {{0.6f, 0.3f, 0.0f}, {0.4f, 0.4f, 0.03f}, {0.2f, 0.5f, 0.01f}};
    for (const CriticalInlet& c : cases) {
        SCOPED_TRACE(testing::Message() << "lanes " << c.b4 << "/" << c.b5 << " m, drop " << c.drop5);
        lanes();
        rect(el("Q1"), 101.0f, 0.3f, 1.5f);
        rect(el("G2"), 101.0f, 0.3f, 1.5f, 10.0f, 101.0f);
        Element& a = el("A3");
        a.geo.o1.Z = 101.0f;
        a.geo.o1.B[1] = a.geo.o1.B[2] = 0.3f;
        a.geo.u1.Z = 101.0f;
        a.geo.u1.B[1] = a.geo.u1.B[2] = c.b4;
        a.geo.u2.Z = 101.0f - c.drop5;
        a.geo.u2.B[1] = a.geo.u2.B[2] = c.b5;
        for (GeoProfileInput* q : {&a.geo.o1, &a.geo.u1, &a.geo.u2}) q->H[2] = 1.5f;
        rect(el("G4"), 101.0f, c.b4, 1.5f, 10.0f, 100.5f);
        rect(el("G5"), 101.0f - c.drop5, c.b5, 1.5f, 10.0f, 100.5f - c.drop5);
        junction(el("Z6"), 100.0f, 1.0f);
        rect(el("G7"), 100.0f, 1.0f, 1.5f, 10.0f, 99.99f);
        for (const char* g : {"G2", "G4", "G5", "G7"}) el(g).geo.K = 70.0f;
        el("Q1").Q = 200.0f;
        walk(100.3f);
        ASSERT_LT(ctx.run.ierr, 2) << checklist();
        EXPECT_EQ(support::rtrim(el("A3").res[2].bem[1]), "gr");
        const double q4 = el("G4").res[2].Q, q5 = el("G5").res[2].Q;
        EXPECT_NEAR(q4 + q5, 0.2, 1e-5);
        EXPECT_NEAR(q4 / (q4 + q5), capacity_share(c, 0.2), 0.01);
        // the check list names the division and the split
        output::division_critical_warning(ctx, idx("A3"));
        const std::string list = checklist();
        EXPECT_NE(list.find("W61"), std::string::npos) << list;
        EXPECT_NE(list.find("G4 " + support::trim(support::fmt_f(100 * q4 / (q4 + q5), 6, 1)) + " %"),
                  std::string::npos) << list;
    }
}

// A circular pipe profile of diameter D at invert z (upstream), zd downstream.
void circle(Element& e, float z, float D, float L, float zd) {
    e.geo = GeoInput{};
    for (GeoProfileInput* q : {&e.geo.o1, &e.geo.u1}) {
        q->Z = q == &e.geo.o1 ? z : zd;
        q->T = "K";
        q->B[1] = D;
    }
    e.geo.L = L;
    e.geo.K = 0.5f;  // mm
}



// Q1 -> B2 -> T3 -> G4: immersion tubes drawing off a tank: two tubes DN 400,
// 8 m long, holes DN 80 every 0.4 m.
struct Tubes : SplitWalk {
    void build(float q) {
        plant({{"Q1", "", "B2"}, {"B2", "Q1", "T3"}, {"T3", "B2", "G4"}, {"G4", "T3", "ENDE"}});
        default_data(100.0f);
        rect(el("Q1"), 96.0f, 4.0f, 4.0f);
        rect(el("B2"), 96.0f, 4.0f, 4.0f, 20.0f, 96.0f);
        Element& t = el("T3");
        circle(t, 97.0f, 0.4f, 8.0f, 97.0f);
        t.hve = HveInput{};
        t.hve.N = 2.0f;
        t.hve.T = "K";
        t.hve.H = 0.08f;
        t.hve.A = 0.4f;
        t.hve.zeta1[1] = 1.5f;
        t.out_tau = 'J';
        rect(el("G4"), 97.0f, 1.0f, 1.5f, 10.0f, 96.99f);
        el("G4").geo.K = 70.0f;
        el("Q1").Q = q;
    }
    std::string table() { return test::read_file(ctx.run.basePath + "_T3.TAU"); }
};



TEST_F(Tubes, HolesTakeTheWholeDischarge) {
    build(100.0f);  // 50 l/s per tube, 2.5 l/s per hole on average
    walk(98.0f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    const std::string t = table();
    EXPECT_EQ(t.find("0.04 l/s"), std::string::npos);
    // the hole discharges of the table (l/s, fifth column) add up to the tube's
    double sum = 0.0;
    int rows = 0;
    std::istringstream in(t);
    for (std::string line; std::getline(in, line);) {
        std::istringstream w(line);
        int nr;
        double z, x, qp, qh;
        if (w >> nr >> z >> x >> qp >> qh) {
            sum += qh;
            ++rows;
        }
    }
    EXPECT_EQ(rows, 20);
    EXPECT_NEAR(sum, 50.0, 0.05);
    const Element& e = el("T3");
    EXPECT_NEAR(e.res[2].E(), e.res[1].E() + e.HVK + e.HVE1, 1e-4);
    EXPECT_GT(e.HVE1, 0.0f);
    // the tank holds the level at the closed end of the tubes
    EXPECT_NEAR(el("B2").res[1].E(), e.res[2].E(), 0.001);
}

// Q1 -> G2 -> D3 -> D4 -> G5: a siphon weir of two pipes DN 500 over a crest
// at 100.80, 250 l/s, drowned at its outlet.
struct Siphon : SplitWalk {
    void build() {
        plant({{"Q1", "", "G2"}, {"G2", "Q1", "D3"}, {"D3", "G2", "D4"}, {"D4", "D3", "G5"},
               {"G5", "D4", "ENDE"}});
        default_data(100.0f);
        rect(el("Q1"), 100.01f, 1.0f, 2.0f);
        rect(el("G2"), 100.01f, 1.0f, 2.0f, 10.0f, 100.0f);
        circle(el("D3"), 100.0f, 0.5f, 3.0f, 100.8f);
        circle(el("D4"), 100.8f, 0.5f, 3.0f, 100.0f);
        el("D3").beschreibung = "Heberwehr #HEBER";
        el("D4").beschreibung = "Heberwehr #heber";
        el("D3").hve.zeta1[1] = 0.5f;
        el("D4").hve.zeta1[1] = 0.3f;
        rect(el("G5"), 100.0f, 1.0f, 2.0f, 10.0f, 99.99f);
        for (const char* g : {"G2", "G5"}) el(g).geo.K = 70.0f;
        el("Q1").Q = 250.0f;
    }
};

TEST_F(Siphon, PipesRunFullFromTheLastToTheFirst) {
    build();
    walk(101.0f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    ASSERT_EQ(ctx.plant.heber.n, 1);
    EXPECT_EQ(el("D3").kurzbez, "Heber");
    const double A = 3.141593 / 4 * 0.25, v = 0.25 / A, vh = v * v / (2 * kG);
    const double lam = ref::colebrook(0.0005, 0.5, v);
    for (const char* d : {"D3", "D4"}) {
        const Element& e = el(d);
        for (int end = 1; end <= 2; ++end) {
            EXPECT_NEAR(e.res[end].A, A, 1e-4) << d << end;
            EXPECT_NEAR(e.res[end].v, v, 1e-3) << d << end;
            // the pressure head below the energy height
            EXPECT_NEAR(e.res[end].h, e.res[end].he - vh, 1e-4) << d << end;
            EXPECT_NEAR(e.res[end].I, lam / 0.5 * vh, 1e-4) << d << end;  // Darcy-Weisbach
        }
        const double zeta = d[1] == '3' ? 0.5 : 0.3;
        EXPECT_NEAR(e.HVK, lam * 3.0 / 0.5 * vh, 2e-4) << d;
        EXPECT_NEAR(e.HVE1, zeta * vh, 1e-4) << d;
        EXPECT_NEAR(e.res[2].E(), e.res[1].E() + e.HVK + e.HVE1, 1e-4) << d;
    }
    // the junction between the two pipes of one diameter loses nothing
    EXPECT_NEAR(el("D3").res[1].E(), el("D4").res[2].E(), 1e-4);
    // below atmospheric pressure at the crest: the level upstream is lower
    // than the crest, and the siphon still runs full
    EXPECT_LT(el("D4").res[2].h, 0.5f);
    EXPECT_LT(el("G2").res[1].WSP(), 100.8f + 0.5f);
}

// The second lane ends at a wall whose openings run free above a certain
// discharge and drowned below it: the energy it needs jumps there. With the
// pump's level inside that jump no split balances the branches.
struct PumpAndWall : SplitWalk {
    void build(float onLevel) {
        plant({{"Q1", "", "G2"},
               {"G2", "Q1", "A3"},
               {"A3", "G2", "G4", "", "G6"},
               {"G4", "A3", "P5"},
               {"P5", "G4", "G7"},
               {"G7", "P5", "Z9"},
               {"G6", "A3", "W8"},
               {"W8", "G6", "G10"},
               {"G10", "W8", "Z9"},
               {"Z9", "G7", "G11", "G10"},
               {"G11", "Z9", "ENDE"}});
        default_data(100.0f);
        rect(el("Q1"), 100.2f, 1.0f, 1.5f);
        rect(el("G2"), 100.2f, 1.0f, 1.5f, 10.0f, 100.19f);
        junction(el("A3"), 100.19f, 1.0f);
        junction(el("Z9"), 100.1f, 1.0f);
        rect(el("G4"), 100.19f, 1.0f, 1.5f, 20.0f, 100.18f);
        rect(el("P5"), 99.0f, 2.0f, 3.0f);
        el("P5").hve.H = onLevel - 99.0f;
        rect(el("G7"), 100.11f, 1.0f, 1.5f, 10.0f, 100.1f);
        rect(el("G6"), 100.19f, 1.0f, 1.5f, 20.0f, 100.18f);
        rect(el("W8"), 100.6f, 1.0f, 1.5f);
        Element& w = el("W8");
        w.hve = HveInput{};
        w.hve.T = "T";
        w.hve.H = 0.5f;
        w.hve.BU = w.hve.BO = 0.3f;
        w.hve.N = 1.0f;
        w.hve.zeta1[1] = 3.0f;
        rect(el("G10"), 100.1f, 1.0f, 1.5f, 10.0f, 100.1f);
        rect(el("G11"), 100.1f, 1.0f, 1.5f, 10.0f, 100.09f);
        el("Q1").Q = 200.0f;
    }
};

TEST_F(PumpAndWall, UnbalancedDivisionEndsWithItsWarningsAndItsIterationLog) {
    build(101.08f);
    ctx.run.iterLog = 1;
    walk(100.9f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    EXPECT_LE(ctx.run.passes, ctx.run.maxPasses + 1);
    EXPECT_GT(std::fabs(ctx.plant.wsp.div[k("A3")].dE), 0.001f);
    EXPECT_EQ(ctx.run.balance, 1);
    EXPECT_GE(ctx.run.ierr, 1);
    const std::string cl = checklist();
    EXPECT_NE(cl.find("     Warnungen zum Berechnungsablauf\n"
                      "     Die Energiehöhen konnten bei folgenden freien Aufteilungen nicht abgeglichen werden:\n"
                      "      - A3           Differenz der Energiehöhe: "),
              std::string::npos)
        << cl;
    // the iteration log: its heading and one line per step with the pass,
    // the step, the inflow of the division, the split and the energy difference
    const auto log = test::read_lines(ctx.run.dbDir + "A3.pkl");
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].rfind("   Iterationsprotokoll: ", 0), 0u);
    std::istringstream first(log[2]);
    int pass = -1, step = -1;
    double qzu = 0;
    first >> pass >> step >> qzu;
    EXPECT_EQ(pass + step, 0);
    EXPECT_NEAR(qzu, 0.2, 1e-5);
}


// Q1 -> G2 -> V3 -> (W4 | W5) -> S6 -> G7: a distribution flume hands the
// water to two walls with one opening each (fixed split 50/50), whose
// outlets fall into a collection flume only 0.2 m deep; the tail water
// stands 0.5 m above the collection flume's invert.
struct SideFlumes : SplitWalk {
    void build() {
        plant({{"Q1", "", "G2"},
               {"G2", "Q1", "V3"},
               {"V3", "G2", "W4", "", "W5"},
               {"W4", "V3", "S6"},
               {"W5", "V3", "S6"},
               {"S6", "W4", "G7", "W5"},
               {"G7", "S6", "ENDE"}});
        default_data(100.0f);
        // the walls are as wide as the flumes are long
        el("V3").geo.L = 1.0f;
        el("V3").aufteilung1 = el("V3").aufteilung2 = 50.0f;
        rect(el("S6"), 99.97f, 1.0f, 0.2f, 1.0f, 99.96f);
        el("Q1").Q = 100.0f;
    }
};

TEST_F(SideFlumes, WallsBelowTheLevelDoNotOvertopTheDistributionFlume) {
    build();
    walk(100.46f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    // The distribution flume is 1 m deep and carries about half a metre of
    // water: the openings of its walls lie below the level by their nature,
    // which is no overtopping.
    const Element& v = el("V3");
    EXPECT_LT(v.res[1].WSP(), v.prof[kProfDown].Z + 1.0f);
    EXPECT_NE(v.res[1].bem[3], "ü");
    // each branch loses a little by friction on its way along the flume:
    // 0.05 m3/s in half a metre of water over 1 m, well under a millimetre
    for (int j = 1; j <= 2; ++j) {
        const auto b = output::division_branch(ctx, test::PlantBuilder::idx("V3"), j);
        EXPECT_GT(b.hvk, 0.0f) << j;
        EXPECT_LT(b.hvk, 0.001f) << j;
    }
    // The collection flume is drowned above its 0.2 m walls: both inflows
    // are marked as running over.
    const int s = test::PlantBuilder::idx("S6");
    EXPECT_GT(el("S6").res[2].WSP(), el("S6").prof[kProfUp].Z + 0.2f);
    for (int j = 1; j <= 2; ++j) EXPECT_EQ(output::confluence_inlet(ctx, s, j).s.bem[3], "ü") << j;
}

// A free division A5 onto a short and a long lane G6 | G7, whose split
// moves for several passes, below a weir U3 that falls freely onto G4. After
// the first pass a pass computes again only what the moving split reaches:
// its lanes, and upstream of them the division and G4 up to the weir, whose
// head depends on its own discharge alone; nothing above the weir.
struct LaterPasses : SplitWalk {
    struct Computed : WalkObserver {
        std::map<std::string, std::set<int>> passes;  // element -> passes it was computed in
        void element_end(RunContext& c, int i, int) override {
            passes[c.plant.el[i].bez].insert(c.plant.wsp.pass);
        }
        void section(RunContext&, int, const char*) override {}
        void pass_finished(RunContext&, int) override {}
    } computed;
};

TEST_F(LaterPasses, AMovingSplitRecomputesUpToTheFreeWeirAboveIt) {
    plant({{"Q1", "", "G2"},
           {"G2", "Q1", "U3"},
           {"U3", "G2", "G4"},
           {"G4", "U3", "A5"},
           {"A5", "G4", "G6", "", "G7"},
           {"G6", "A5", "Z8"},
           {"G7", "A5", "Z8"},
           {"Z8", "G6", "G9", "G7"},
           {"G9", "Z8", "ENDE"}});
    default_data(100.0f);
    el("Q1").Q = 200.0f;
    for (const char* below : {"G4", "A5", "G6", "G7", "Z8", "G9"})  // 1 m below the crest
        for (GeoProfileInput* q : {&el(below).geo.o1, &el(below).geo.u1, &el(below).geo.o2, &el(below).geo.u2})
            if (given(q->Z)) q->Z -= 1.0f;
    for (const char* g : {"G6", "G7"}) {
        GeoInput& geo = el(g).geo;
        geo.o1.B[1] = geo.o1.B[2] = kB, geo.K = kK;
        geo.L = g[1] == '6' ? 20.0f : 120.0f;
    }
    ctx.walk = &computed;
    walk(el("G9").geo.u1.Z + 0.3f);
    ASSERT_LT(ctx.run.ierr, 2) << checklist();
    ASSERT_GT(ctx.run.passes, 3);
    ASSERT_EQ(ctx.plant.ueb[k("U3")].kind, 'F');
    std::set<int> every;
    for (int p = 0; p < ctx.run.passes; ++p) every.insert(p);
    for (const char* moving : {"G6", "G7", "A5", "G4", "U3"}) EXPECT_EQ(computed.passes[moving], every) << moving;
    for (const char* above : {"G2", "Q1"}) EXPECT_EQ(computed.passes[above], std::set<int>{0}) << above;
    // Lanes on threads: G9 with Z8 above it; G7 above the confluence and G6
    // beside it, both taking their water from Z8; the division and the line
    // up to Q1 above both lanes. Four strands, three one above the other.
    hyd::PassScope scope;
    scope.prepare(ctx.plant.nsys);
    hyd::LaneWalk lanes(ctx, scope, 2, [](RunContext&, int, int) { return true; });
    EXPECT_EQ(lanes.strands(), 4);
    EXPECT_EQ(lanes.levels(), 3);
}

}  // namespace
}  // namespace rivola
