// Freeboard and overtopping in the check list and the result rows, on the small
// example plant (inlet, screen, two flumes 1.0 m high) computed by whole runs.
// The outlet depth is the given downstream level minus the outlet invert, so
// the top of the outlet flume can be placed exactly at, just below or above
// the water surface; every other top is raised to 2 m.
#include <gtest/gtest.h>

#include "common/variant_db.h"

using namespace rivola;

namespace {

// Outlet invert of G2 and the downstream level of every case: the outlet
// depth in single precision, as the run takes it.
constexpr float kInvert = 101.428f;
constexpr float kLevel = 102.0f;
const float kDepth = kLevel - kInvert;   // 0.572 m

struct Outcome {
    int ierr = -1;
    std::string list;
    std::vector<std::string> csv;
};

// The small plant with `sql` applied, computed in a fresh directory.
Outcome compute(const std::string& sql, bool english = false) {
    test::TempDir dir("freeboard");
    const std::string db = test::loaded_variant(dir, "V", test::source_file("examples/kleine_anlage.sql"));
    char level[32];
    std::snprintf(level, sizeof level, "%.9g", static_cast<double>(kLevel));
    test::sqlite(db, "UPDATE tbl_all SET Wasserstand = " + std::string(level) +
                            "; UPDATE tbl_rvldaten SET GEO_oH11 = 2, GEO_uH11 = 2 WHERE bez <> 'G2';"
                            "UPDATE tbl_rvldaten SET GEO_oH11 = 2 WHERE bez = 'G2';" + sql);
    test::RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = {db};
    if (english) {
        ctx.settings.language = "ENGLISH";
        ctx.run.params.push_back("OUT=ENGL");
    }
    run::r_rivola(ctx, 1);
    return {ctx.run.ierr, test::read_file(dir.str() + "V.pkl"), test::read_lines(dir.str() + "V.csv")};
}

// The top of G2's outlet section, `above` metres over the outlet water level.
std::string outlet_top(double above) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "UPDATE tbl_rvldaten SET GEO_uH11 = %.9g WHERE bez = 'G2';",
                  static_cast<double>(kDepth) + above);
    return buf;
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
    return n;
}

}  // namespace

TEST(Freeboard, OvertoppingSurchargeAndRequiredFreeboardInTheCheckList) {
    const struct {
        const char* name;
        std::string sql;
        std::vector<std::string> expected;   // lines (or parts) the check list holds
        std::vector<std::string> absent;     // codes it must not hold
        int ierr;                            // -1: below 2, other warnings may come
        int ends;                            // ends overtopped or short of the freeboard
    } cases[] = {
        {"water exactly at the top", outlet_top(0.0), {}, {"F01", "F02", "F03", "F04"}, 0, 0},
        {"1 mm over the top", outlet_top(-0.001),
         {"F01 Überlauf: Wasserspiegel über Oberkante .. : G2",
          "    Ablaufende: Wasserspiegel 102.000 m, Oberkante 101.999 m, Überstau 0.1 cm",
          "F04 Kleinster Freibord der Anlage ........... : -0.001 m bei G2 (Ablaufende)",
          "    1 von 8 offenen Enden laufen über; kein Freibord gefordert"},
         {"F02", "F03"}, 1, 1},
        // a lid 0.05 m above a layer of 0.5 m at the outlet: the crown 0.022 m
        // under the water surface; upstream a rise of 0.3 m leaves room
        {"closed flume under pressure",
         "UPDATE tbl_rvldaten SET GEO_uH11 = 0.5, GEO_uHS1 = 0.05, GEO_oH11 = 0.5, GEO_oHS1 = 0.3 WHERE bez = 'G2';",
         {"F02 Geschlossener Querschnitt unter Druck ... : G2",
          "    Ablaufende: Wasserspiegel 102.000 m, Scheitel 101.978 m, um 2.2 cm darüber"},
         {"F01", "F03"}, 1, 0},
        // 0.8 m top over a depth of 0.572 m leaves 0.228 m
        {"Freibord 0.3 m", "ALTER TABLE tbl_all ADD COLUMN Freibord double; UPDATE tbl_all SET Freibord = 0.3;" +
                               outlet_top(0.228),
         {"F03 Freibord zu klein beim Element .......... : G2", "    Ablaufende: Freibord 0.228 m, gefordert 0.300 m",
          "F04 Kleinster Freibord der Anlage ........... : 0.228 m bei G2 (Ablaufende)",
          "    1 von 8 offenen Enden unter dem geforderten Freibord von 0.300 m"},
         {"F01", "F02"}, 1, 1},
        {"negative Freibord", "ALTER TABLE tbl_all ADD COLUMN Freibord double; UPDATE tbl_all SET Freibord = -0.3;" +
                                  outlet_top(0.228),
         {"F05 Freibord in tbl_all ist ungültig ........ : -0.300 m"}, {"F03", "F04"}, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome r = compute(c.sql);
        for (const auto& e : c.expected) EXPECT_NE(r.list.find(e + "\n"), std::string::npos) << e << "\n" << r.list;
        for (const auto& a : c.absent) EXPECT_EQ(r.list.find(a), std::string::npos) << a << "\n" << r.list;
        if (c.ierr >= 0) EXPECT_EQ(r.ierr, c.ierr) << r.list;
        else EXPECT_LT(r.ierr, 2) << r.list;
        EXPECT_EQ(count(r.list, "\nF01") + count(r.list, "\nF03"), c.ends) << r.list;
    }
}

