// The input echo: the values of the input as given and the paging of long
// sections (the example runs' stored echoes pin its layout).
#include <gtest/gtest.h>

#include <algorithm>

#include "common/variant_db.h"
#include "database/m_db_input.h"
#include "output/m_output_eingabe.h"
#include "output/output_plant.h"
#include "support/m_strings.h"

using namespace rivola;
using namespace rivola::test;

namespace {

// A division Q1 -> A1 -> (G1, G2) -> Z1 with GEO and HVE input as read.
void small_plant(RunContext& ctx, int extra = 0) {
    Plant& p = ctx.plant;
    const int n = 5 + extra;
    p.resize(n);
    const char* names[6] = {"", "Q1", "A1", "G1", "G2", "Z1"};
    for (int i = 1; i <= 5; ++i) p.el[i].bez = names[i];
    for (int i = 6; i <= n; ++i) p.el[i].bez = "G" + std::to_string(i);
    links(p, {{0, 2}, {1, 3, 0, 4}, {2, 5}, {2, 5}, {3, n > 5 ? 6 : 0, 4}});
    for (int i = 6; i <= n; ++i) link(p, i, i - 1, i < n ? i + 1 : 0);
    p.el[2].aufteilung1 = 60.0f;
    p.el[2].aufteilung2 = 40.0f;
    p.el[3].beschreibung = "Zulaufgerinne";
    p.el[3].plotweg = "B";
    p.el[3].plotflag = 'N';
    p.el[3].out_erk = 'J';
    GeoInput& g = p.el[3].geo;
    g.L = 12.5f;
    g.K = 1.5f;
    g.o1.Z = 102.35f;
    g.o1.T = "K";
    g.o1.H[1] = 0.4f;
    g.o1.B[1] = 0.8f;
    g.o1.H[2] = 1.2f;
    g.o1.B[2] = 0.8f;
    g.u1.Z = 102.3f;
    HveInput& h = p.el[4].hve;
    h.zeta1[1] = 0.5f;
    h.zeta1[2] = 0.6f;
    h.mue = 0.62f;
    h.N = 3.0f;
    p.all.titel[1] = "Kläranlage Süd";
    p.all.titel[2] = "Variante 2";
    p.all.Bezug = 100.0f;
    p.all.datum = "05.06.2024";
}

}  // namespace

// The explanations of the single losses are read with the variant (those of
// deleted rows not) and echoed beside the losses.
TEST(InputEcho, ValuesAsGivenOrBlankAndExplanationsOfLiveRows) {
    TempDir dir;
    RunContext ctx;
    point_diagnostics(ctx, dir);
    place_run(ctx, dir.path(), "SUED");
    std::string status;
    input::db_new_variant(ctx, ctx.run.dbPath, status);
    ASSERT_EQ(status, "ok");
    sqlite(ctx.run.dbPath, "INSERT INTO tbl_rvldaten (er, bez, geloescht, HVE_ERLAEUTER1, HVE_ERLAEUTER2) "
                           "VALUES (1, 'G2', 0, 'Einlauf', 'Krümmer 90°');"
                           "INSERT INTO tbl_rvldaten (er, bez, geloescht, HVE_ERLAEUTER1) "
                           "VALUES (2, 'G1', 1, 'gelöscht');");
    small_plant(ctx);
    input::read_explanations(ctx, ctx.run.dbPath, {1, 2, 3, 4, 5});
    output::write_input_echo(ctx);
    const auto l = read_lines(ctx.run.basePath + ".EIN");
    ASSERT_FALSE(l.empty());
    // (banners, title lines, headers and widths are pinned by the stored echoes)
    const std::string all = read_file(ctx.run.basePath + ".EIN");
    // The first line beginning with `start` after the line containing `after`.
    auto find = [&](const std::string& start, const std::string& after = "") -> std::string {
        bool on = after.empty();
        for (const auto& x : l) {
            if (!on && x.find(after) != std::string::npos) on = true;
            if (on && x.rfind(start, 0) == 0) return x;
        }
        return {};
    };
    // element links: number, name, description, inlet, outlet, plot path, not plotted, *.ERK
    EXPECT_EQ(find(" I    3 G1"), " I    3 G1           Zulaufgerinne          I A1           I Z1           I        I         I B   J I  J  I");
    // a division: 1st outlet and its share, then the 2nd outlet and its share
    EXPECT_EQ(find(" I    2 A1"), " I    2 A1                                  I Q1           I G1           I   60.00I         I       I  N  I");
    const auto pos = std::find(l.begin(), l.end(), find(" I    2 A1"));
    ASSERT_NE(pos, l.end());
    EXPECT_EQ(*(pos + 1), " I                                          I              I G2           I   40.00I         I       I     I");
    // geometry: inverts, length, roughness; the circular profile with two layers
    EXPECT_EQ(find(" I G1  "), " I G1           I102.350102.300  12.50I 1.50     IK" + std::string(7, ' ') + "0.40 0.80" + std::string(18, ' ') + "I");
    // single losses: two coefficients of the 1st inlet, discharge coefficient,
    // count and explanation; the 2nd explanation is echoed too
    EXPECT_EQ(find(" I G2  ", "Einzelverluste (HVE)"),
              " I G2           I        0.50      I 0.620     I                 I    3     I Einlauf                  I");
    EXPECT_NE(all.find("I Krümmer 90°              I"), std::string::npos);
    EXPECT_EQ(all.find("gelöscht"), std::string::npos);
    // a base setting not given is blank (the inflows and the given base
    // settings as the stored echoes show them)
    EXPECT_EQ(support::rtrim(find(" I Wasserstd")), " I Wasserstd I Wasserstand am Ende müNN            I                        I");
}

TEST(InputEcho, LongSectionsArePagedAtTheGivenLength) {
    TempDir dir;
    RunContext ctx;
    ctx.settings.language = "ENGLISH";
    place_run(ctx, dir.path(), "SUED");
    small_plant(ctx, 120);
    ctx.plant.Zeilen = 60;
    output::write_input_echo(ctx);
    const auto l = read_lines(ctx.run.basePath + ".EIN");
    // 125 elements need more than one page per element section
    EXPECT_GE(std::count(l.begin(), l.end(), "\f"), 7);
    // no page is longer than the page length, and each ends with a separator
    size_t start = 0;
    for (size_t k = 1; k <= l.size(); ++k) {
        if (k == l.size() || l[k] == "\f") {
            EXPECT_LE(k - start, 60u);
            EXPECT_EQ(l[k - 1].substr(0, 4), " ===") << "page ending at line " << k;
            start = k;
        }
    }
}
