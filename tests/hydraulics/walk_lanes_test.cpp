// A small plant of two lanes behind a free division, each lane a flume and a
// pressure pipe, joined by a confluence: computed by whole runs for small and
// large discharges and two pipe sizes. At small discharges one lane may take
// (almost) nothing, and its pipe then holds still water below the level of
// the confluence.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "common/hydraulic_refs.h"
#include "common/recording_ui.h"
#include "common/test_util.h"
#include "common/variant_db.h"
#include "input/db_tools.h"
#include "run/context.h"
#include "run/r_rivola.h"

using namespace rivola;
using namespace rivola::test;

namespace {

using ref::kG;

// The plant for an inflow of q l/s and pipes of diameter d.
std::string lanes_script(double q, double d) {
    std::ostringstream s;
    s << "CREATE TABLE tbl_all " << input::kTblAllColumns << ";\n"
      << "CREATE TABLE tbl_rvldaten " << input::kTblRvldatenColumns << ";\n"
      << "INSERT INTO tbl_all (Titel, Vmin, Vmax, Lmax, DIFFmax, Zeilen, Bezug, Wasserstand, Q_ls)"
         " VALUES ('Zwei Strassen', 0.05, 5.0, 200.0, 2, 60, 0.0, 100.7205, 'J');\n";
    const std::string open = "'T', 1.2595, 1.0556";
    auto row = [&](const std::string& cols, const std::string& vals) {
        s << "INSERT INTO tbl_rvldaten (" << cols << ") VALUES (" << vals << ");\n";
    };
    const std::string flume =
        "er, sr, bez, zulauf1, ablauf1, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, "
        "GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11";
    const std::string pipe =
        "er, sr, bez, zulauf1, ablauf1, GEO_L, GEO_K, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oB11, "
        "GEO_ZU1, GEO_uT1, GEO_uB11";
    row("er, sr, bez, ablauf1, Q, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11",
        "10, 1, 'Q1', 'G1', " + std::to_string(q) + ", 100.7093, " + open);
    row(flume, "20, 1, 'G1', 'Q1', 'A1', 20, 70, 100.4105, " + open + ", 100.4055, " + open);
    row("er, sr, bez, zulauf1, ablauf1, ablauf2, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, "
        "GEO_uT1, GEO_uH11, GEO_uB11, GEO_ZU2, GEO_uT2, GEO_uH21, GEO_uB21, HVE_zeta1, HVE_zeta1_2",
        "30, 1, 'A1', 'G1', 'G4', 'G5', 100.4005, " + open + ", 100.4005, " + open + ", 100.4005, " +
            open + ", 0.3, 0.5");
    const std::string D = std::to_string(d);
    row(flume, "40, 1, 'G4', 'A1', 'D1', 10, 70, 100.43, 'T', 1.2, 0.7679, 100.425, 'T', 1.2, 0.7679");
    row(pipe, "50, 1, 'D1', 'G4', 'Z1', 20, 0.5, 0.3, 100.02, 'K', " + D + ", 100, 'K', " + D);
    row(flume, "60, 1, 'G5', 'A1', 'D2', 10, 70, 100.43, 'T', 1.2, 0.8385, 100.425, 'T', 1.2, 0.8385");
    row(pipe, "70, 1, 'D2', 'G5', 'Z1', 20, 0.5, 0.3, 100.02, 'K', " + D + ", 100, 'K', " + D);
    row("er, sr, bez, zulauf1, zulauf2, ablauf1, HVE_zeta1, HVE_zeta1_2, GEO_ZO1, GEO_oT1, "
        "GEO_oH11, GEO_oB11, GEO_ZO2, GEO_oT2, GEO_oH21, GEO_oB21, GEO_ZU1, GEO_uT1, GEO_uH11, "
        "GEO_uB11",
        "80, 1, 'Z1', 'D1', 'D2', 'G6', 0.5, 0.5, 100.3105, " + open + ", 100.3105, " + open +
            ", 100.3105, " + open);
    row(flume, "90, 1, 'G6', 'Z1', 'ENDE', 15, 70, 100.2905, " + open + ", 100.283, " + open);
    return s.str();
}


int index_of(const Plant& p, const std::string& name) {
    for (int i = 1; i <= p.nsys; ++i)
        if (p.el[i].bez == name) return i;
    return 0;
}

}  // namespace

TEST(WalkLanes, SmallAndLargeDischargesComputeWithBalancedEnergy) {
    for (const double d : {0.3, 0.5}) {
        for (const double q : {10.0, 19.95, 50.0, 200.0}) {
            std::ostringstream tag;
            tag << "Q = " << q << " l/s, pipes of " << d << " m";
            SCOPED_TRACE(tag.str());
            TempDir dir("walk_lanes");
            std::string status;
            const std::string db = load_variant(dir, "LANES", lanes_script(q, d), status);
            ASSERT_EQ(status, "ok");

            RecordingUi ui;
            RunContext ctx;
            ctx.ui = &ui;
            ctx.db.diagFile = dir.str() + "DB_Fehler.pkl";
            ctx.run.params = {db, "SIM=J"};
            run::r_rivola(ctx, 1);
            ASSERT_LT(ctx.run.ierr, 2) << (ui.boxes.empty() ? "" : ui.boxes.front());
            EXPECT_TRUE(ui.boxes.empty());

            const Plant& p = ctx.plant;
            const int g4 = index_of(p, "G4"), g5 = index_of(p, "G5");
            const int d1 = index_of(p, "D1"), d2 = index_of(p, "D2");
            const int a1 = index_of(p, "A1"), z1 = index_of(p, "Z1");
            ASSERT_TRUE(g4 && g5 && d1 && d2 && a1 && z1);

            // the lanes carry the whole inflow, none of them a negative share
            const double Q = q / 1000.0;
            EXPECT_NEAR(p.el[g4].res[2].Q + p.el[g5].res[2].Q, Q, 1e-6 + 1e-5 * Q);
            EXPECT_GE(p.el[g4].res[2].Q, 0.0f);
            EXPECT_GE(p.el[g5].res[2].Q, 0.0f);

            // against the flow the energy level never falls: along every
            // element and across every junction (1 mm for the tolerance of
            // the balance at elements without length). The plant inlet has
            // only its outlet end; the division holds its inlet end only and
            // is checked against the inlets of both lanes.
            for (int i = 1; i <= p.nsys; ++i) {
                const Element& e = p.el[i];
                if (i == a1) {
                    EXPECT_GE(e.res[2].E(), p.el[g4].res[2].E() - 1e-3);
                    EXPECT_GE(e.res[2].E(), p.el[g5].res[2].E() - 1e-3);
                    continue;
                }
                if (i > 1) {
                    EXPECT_GE(e.res[2].E(), e.res[1].E() - 1e-3) << e.bez;
                }
                const int dn = e.iab[1];
                if (dn >= 1 && dn <= p.nsys) {
                    EXPECT_GE(e.res[1].E(), p.el[dn].res[2].E() - 1e-3) << e.bez;
                }
            }
            EXPECT_GE(p.el[1].res[1].E(), 100.7205f);  // above the level at the outlet

            // pipes below the level of the confluence run full: their friction
            // loss is lambda L/D v^2/(2g) with v = Q/(pi D^2/4)
            for (const int i : {d1, d2}) {
                const Element& e = p.el[i];
                ASSERT_GT(e.res[1].h, d) << e.bez;
                const double qi = e.res[1].Q;
                const double v = qi / (M_PI * d * d / 4.0);
                const double hR = v < 1e-3 ? 0.0
                                           : ref::colebrook(0.0005, d, v) * 20.0 / d * v * v /
                                                 (2 * kG);
                EXPECT_NEAR(e.HVK, hR, 0.02 * hR + 2e-5) << e.bez;
            }
        }
    }
}
