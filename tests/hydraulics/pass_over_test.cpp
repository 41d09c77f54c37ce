// An observation point (letter E) in the flow path: the walk passes over it
// without loss, so the elements above it see the same water as without it.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

#include "common/variant_db.h"

namespace rivola::test {
namespace {

struct End {
    float z = 0, h = 0, he = 0;
};
using Results = std::map<std::string, std::array<End, 3>>;

// Inflow 100 l/s through two channels 1 m wide (50 m each, Strickler 70,
// slope 1 per mille); the tail water stands 0.5 m deep. With `point` an
// observation point lies between them, at the invert where the second begins.
Results compute(const TempDir& dir, bool point) {
    const std::string cols =
        "(er, bez, zulauf1, ablauf1, Q, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, "
        "GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)";
    std::string sql = std::string("CREATE TABLE tbl_all ") + input::kTblAllColumns + ";\n" +
                      "CREATE TABLE tbl_rvldaten " + input::kTblRvldatenColumns + ";\n" +
                      "INSERT INTO tbl_all (Titel, Wasserstand) VALUES ('E', 100.9);\n";
    auto row = [&](const std::string& values) {
        sql += "INSERT INTO tbl_rvldaten " + cols + " VALUES (" + values + ");\n";
    };
    row("10, 'Q1', NULL, 'G1', 100, NULL, NULL, 100.5, 'T', 1.0, 1.0, NULL, NULL, NULL, NULL");
    row(std::string("20, 'G1', 'Q1', '") + (point ? "E1" : "G2") +
        "', NULL, 50, 70, 100.5, 'T', 1.0, 1.0, 100.45, 'T', 1.0, 1.0");
    if (point)
        row("30, 'E1', 'G1', 'G2', NULL, NULL, NULL, 100.45, 'T', 1.0, 1.0, 100.45, 'T', 1.0, 1.0");
    row(std::string("40, 'G2', '") + (point ? "E1" : "G1") +
        "', 'ENDE', NULL, 50, 70, 100.45, 'T', 1.0, 1.0, 100.4, 'T', 1.0, 1.0");

    const std::string name = point ? "WITHPOINT" : "PLAIN";
    const std::string db = loaded_variant(dir, name, sql);
    RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = {db, "SIM=J"};
    run::r_rivola(ctx, 1);
    EXPECT_LT(ctx.run.ierr, 2);
    Results out;
    for (int i = 1; i <= ctx.plant.nsys; ++i) {
        const Element& e = ctx.plant.el[i];
        for (int s = 1; s <= 2; ++s) out[e.bez][s] = {e.res[s].z, e.res[s].h, e.res[s].he};
    }
    return out;
}

TEST(PassOver, AnObservationPointChangesNoLevelAboveIt) {
    TempDir dir("pass_over");
    Results plain = compute(dir, false), with = compute(dir, true);
    for (const char* bez : {"Q1", "G1", "G2"})
        for (int s = 1; s <= 2; ++s) {
            SCOPED_TRACE(std::string(bez) + " end " + std::to_string(s));
            EXPECT_NEAR(with[bez][s].h, plain[bez][s].h, 1e-4f);
            EXPECT_NEAR(with[bez][s].he, plain[bez][s].he, 1e-4f);
        }
    // the point carries the level at the start of G2
    for (int s = 1; s <= 2; ++s)
        EXPECT_NEAR(with["E1"][s].z + with["E1"][s].h, with["G2"][2].z + with["G2"][2].h, 1e-4f);
    // and the water is really there: 100 l/s in a 1 m channel at 1 per mille
    // runs at least at its critical depth (q^2/g)^(1/3) = 0.1 m
    EXPECT_GT(with["G1"][2].h, 0.1f);
}

}  // namespace
}  // namespace rivola::test
