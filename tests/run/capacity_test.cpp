// The capacity of a plant: a single flume with a free outfall, whose
// capacity follows from the critical depth at its end and the drawdown curve
// upstream (integrated here on its own), and the example plant, whose
// capacity the check list's freeboard warnings confirm just below and above.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/hydraulic_refs.h"
#include "common/variant_db.h"
#include "input/input.h"
#include "support/m_strings.h"
#include "run/capacity.h"

using namespace rivola;

namespace {

// A rectangular flume b wide and H high, L long at slope S0, Strickler k,
// fed by Q1 with q0 l/s and falling freely at its end.
struct Flume {
    double b = 1.0, H = 0.5, L = 100.0, S0 = 0.002, k = 70.0, q0 = 200.0;
};

std::string flume_variant(const Flume& f, double freeboard) {
    char rows[1024];
    const double z0 = 100.0, z1 = z0 - f.S0 * f.L;
    std::snprintf(rows, sizeof rows,
                  "INSERT INTO tbl_all (Titel, Q_ls, Freibord) VALUES ('Gerinne', 'J', %g);\n"
                  "INSERT INTO tbl_rvldaten (id, er, bez, ablauf1, Q, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11) "
                  "VALUES (1, 10, 'Q1', 'G1', %g, %g, 'T', %g, %g);\n"
                  "INSERT INTO tbl_rvldaten (id, er, bez, zulauf1, ablauf1, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, "
                  "GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11) "
                  "VALUES (2, 20, 'G1', 'Q1', 'ENDE', %g, %g, %g, 'T', %g, %g, %g, 'T', %g, %g);\n",
                  freeboard, f.q0, z0, f.H, f.b, f.L, f.k, z0, f.H, f.b, z1, f.H, f.b);
    return std::string("CREATE TABLE tbl_all ") + input::kTblAllColumns + ";\nCREATE TABLE tbl_rvldaten " +
           input::kTblRvldatenColumns + ";\n" + rows;
}

// Depth at the upstream end for discharge Q (m³/s): from the critical depth
// at the outfall up the drawdown curve, in depth steps of 0.01 mm.
double upstream_depth(const Flume& f, double Q) {
    return ref::depth_upstream(ref::rectangle(f.b), ref::hc_rect(Q, f.b), f.L, f.S0, Q, f.k, 1e-5);
}

// The discharge whose upstream depth leaves `freeboard` below the top.
double capacity_by_hand(const Flume& f, double freeboard) {
    double lo = 0.01, hi = 5.0;
    for (int k = 0; k < 60; ++k) {
        const double mid = 0.5 * (lo + hi);
        (upstream_depth(f, mid) < f.H - freeboard ? lo : hi) = mid;
    }
    return lo;
}

// The capacity of the variant dir/name.mdb loaded from `scripts` (the
// variant, then its components), read as the run reads it; `ctx` keeps the
// plant as read.
run::Capacity capacity_of(const test::TempDir& dir, const std::vector<std::pair<std::string, std::string>>& scripts,
                          RunContext& ctx, test::RecordingUi& ui) {
    std::string db;
    for (const auto& [name, sql] : scripts) {
        const std::string file = test::loaded_variant(dir, name, sql);
        if (db.empty()) db = file;
    }
    test::point_diagnostics(ctx, dir);
    ctx.ui = &ui, ctx.run.params = {db};
    run::initl_rivola(ctx);
    run::init_variante(ctx);
    input::read_variant(ctx);
    EXPECT_LT(ctx.run.ierr, 2);
    return run::find_capacity(ctx, {}, 2);
}

}  // namespace

TEST(Capacity, FlumeWithAFreeOutfallCarriesWhatTheDrawdownCurveAllows) {
    const Flume f;
    for (double freeboard : {0.0, 0.2}) {
        SCOPED_TRACE(freeboard);
        test::TempDir dir("capacity");
        RunContext ctx;
        test::RecordingUi ui;
        const run::Capacity cap = capacity_of(dir, {{"G", flume_variant(f, freeboard)}}, ctx, ui);
        ASSERT_TRUE(cap.found) << cap.note;
        const double expected = capacity_by_hand(f, freeboard);
        EXPECT_NEAR(cap.factor * f.q0 / 1000.0, expected, 0.005 * expected);
        EXPECT_GT(cap.above, cap.factor);
        EXPECT_LE(cap.above - cap.factor, 0.005 * cap.factor + 1e-9);
        EXPECT_GT(cap.runs, 3);
        // the water reaches the top first where the flume begins (the inlet's
        // outlet end or the flume's inlet end: the same section), where the
        // drawdown towards the outfall is least
        const bool atTheHead = (cap.limit.isys == 1 && cap.limit.end == 1) || (cap.limit.isys == 2 && cap.limit.end == 2);
        EXPECT_TRUE(atTheHead) << cap.limit.isys << "/" << cap.limit.end;
    }
}

// The example plant at 0.99 and 1.01 times its capacity, as flow cases of a
// normal run: below, no freeboard warning; above, an overtopping at the
// limiting element. The run of the capacity search tells it in the check list.
TEST(Capacity, ExamplePlantIsConfirmedByTheFreeboardWarningsAroundIt) {
    test::TempDir dir("capacity_example");
    RunContext ctx;
    test::RecordingUi ui;
    const run::Capacity cap =
        capacity_of(dir,
                    {{"klaeranlage", test::source_file("examples/klaeranlage.sql")},
                     {"klaeranlage_C_SANDFANG", test::source_file("examples/klaeranlage_C_SANDFANG.sql")}},
                    ctx, ui);
    const std::string db = dir.str() + "klaeranlage.mdb";
    ASSERT_TRUE(cap.found && cap.limit.isys > 0) << cap.note;
    const std::string limiting = support::trim(ctx.plant.el[cap.limit.isys].bez);

    char cases[512];
    std::snprintf(cases, sizeof cases,
                  "CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung varchar(255), "
                  "Faktor double, Wasserstand double);"
                  "INSERT INTO tbl_lastfaelle VALUES (1, 'unter', '', %.6f, NULL);"
                  "INSERT INTO tbl_lastfaelle VALUES (2, 'ueber', '', %.6f, NULL);",
                  0.99 * cap.factor, 1.01 * cap.factor);
    test::sqlite(db, cases);
    const test::ProgramRun r = test::run_program(dir.str(), "rivola", "klaeranlage.mdb --no-drawing --quiet");
    ASSERT_LT(r.status, 2) << r.out;
    const std::string list = test::read_file(dir.str() + "klaeranlage.pkl");
    const size_t below = list.find("Lastfall unter"), above = list.find("Lastfall ueber");
    ASSERT_TRUE(below != std::string::npos && above != std::string::npos) << list;
    const std::string under = list.substr(below, above - below), over = list.substr(above);
    for (const char* code : {"\nF01", "\nF03"}) EXPECT_FALSE(test::holds(under, code));
    const size_t f01 = over.find("\nF01");
    ASSERT_NE(f01, std::string::npos) << over;
    EXPECT_TRUE(test::holds(over.substr(f01), limiting));

    // the search as the user starts it: the capacity, its element and the run at it
    test::sqlite(db, "DROP TABLE tbl_lastfaelle;");
    const test::ProgramRun c = test::run_program(dir.str(), "rivola", "klaeranlage.mdb --capacity --quiet --no-drawing");
    ASSERT_LT(c.status, 2) << c.out;
    const std::string told = test::read_file(dir.str() + "klaeranlage.pkl");
    char factor[32];
    std::snprintf(factor, sizeof factor, "%.3f", cap.factor);
    EXPECT_TRUE(test::holds(told, std::string("Kapazität: Faktor ") + factor));
    EXPECT_TRUE(test::holds(told, "begrenzendes Element: " + limiting));
    EXPECT_TRUE(test::holds(told, "2. begrenzendes Element: "));
    EXPECT_TRUE(test::read_file(dir.str() + "klaeranlage_Kapazitaet.csv").size() > 100);
    // a flow case to scale that the variant does not have stops the run with its name
    const test::ProgramRun none = test::run_program(dir.str(), "rivola", "klaeranlage.mdb --capacity=Sturm --quiet");
    EXPECT_EQ(none.status, 2) << none.out;
    EXPECT_TRUE(test::holds(none.out, "keinen Lastfall Sturm"));
}
