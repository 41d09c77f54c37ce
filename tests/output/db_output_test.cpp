// The result tables in a real SQLite results database and the CSV file. The
// tables are read back with the sqlite3 shell, independent of the ODBC code;
// the expected values are the results filled in by hand below.
#include "output/db_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "messages/m_rivola_error.h"
#include "common/variant_db.h"
#include "output/output.h"
#include "output/output_plant.h"
#include "support/m_strings.h"

using namespace rivola;
using namespace rivola::test;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> l;
    std::istringstream in(text);
    for (std::string x; std::getline(in, x);) l.push_back(x);
    return l;
}

// Columns of the "ERG_" table in the order the tests read them.
constexpr const char* kColumns =
    "ID,IZ,KENSYS,ORD,Q,L,Z,HGES,H,WSP,A,V,E,Tau,PROFIL,HVK,HVE1,HVE2,HVU,BEMERK,Lges,B,Freibord";

// A table value (as the sqlite3 shell prints it) with d decimals; "" for NULL.
std::string fixed(const std::string& v, int d) {
    if (v == "NULL") return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", d, std::stod(v));
    return buf;
}

// A table row t (columns as kColumns) against its CSV line c, field by field.
void same_row(const std::vector<std::string>& t, const std::vector<std::string>& c) {
    ASSERT_EQ(t.size(), 23u);
    ASSERT_EQ(c.size(), 23u);   // 22 fields and the empty rest after the last ";"
    EXPECT_EQ(t[0], c[0]);
    EXPECT_EQ(t[1], c[1]);
    EXPECT_EQ(t[2], c[2]);
    EXPECT_EQ(fixed(t[3], 0), c[4]);
    const int decimals[] = {4, 3, 3, 3, 3, 3, 3, 2, 4, 2};   // Q L z hges h WSP A v E Tau
    for (int k = 0; k < 10; ++k) EXPECT_EQ(fixed(t[4 + k], decimals[k]), c[5 + k]) << "ID " << t[0];
    EXPECT_EQ(t[14] == "NULL" ? "" : t[14], c[15]);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(fixed(t[15 + k], 4), c[16 + k]) << "ID " << t[0];
    EXPECT_EQ(t[19] == "NULL" ? "" : t[19], c[20]);
    EXPECT_EQ(fixed(t[22], 3), c[21]) << "ID " << t[0];
}

// The n characters from column `col` (0-based) of a listing line.
std::string col(const std::string& line, size_t c, size_t n) {
    const size_t b = support::ucut(line, c).size();
    return support::trim(support::ucut(std::string_view(line).substr(b), n));
}

bool number_or_blank(const std::string& s) {
    return s.empty() || s.find_first_not_of("-.0123456789") == std::string::npos;
}

// The element lines of a *.ERG listing: the 130-column table lines whose
// discharge and invert columns hold a number or nothing.
std::vector<std::string> erg_element_lines(const std::string& file) {
    std::vector<std::string> out;
    for (const auto& l : lines_of(read_file(file))) {
        if (support::ulen(l) != 130 || l.rfind(" I ", 0) != 0) continue;
        if (col(l, 18, 1) != "I" || col(l, 95, 1) != "I") continue;
        if (number_or_blank(col(l, 19, 7)) && number_or_blank(col(l, 36, 8))) out.push_back(l);
    }
    return out;
}

// A chain of eight elements, one of most single-line and two-line kinds:
// Q1 inlet, G1 flume, D1 pressure pipe, W1 sluice gate, U1 weir, B1 basin,
// P1 pump, G2 outlet flume. Results are chosen by hand.
void chain(RunContext& ctx, float qG1 = 0.1f) {
    Plant& p = ctx.plant;
    elements(p, {{"Q1", T_Q}, {"G1", T_G}, {"D1", T_D}, {"W1", T_W}, {"U1", T_U}, {"B1", T_B}, {"P1", T_P}, {"G2", T_G}});
    link_line(p);
    // the upstream and downstream end (Q, z, h, A, v, E - z, tau), length, losses
    // HVK, HVE1, HVU and flow length of each element
    const struct {
        float up[7], down[7];
        float L, HVK, HVE1, HVU, flaenge;
    } els[] = {
        {{0.1f, 101.0f, 0.5f, 0.4f, 0.25f, 0.5032f, 0.5f}, {0.1f, 101.0f, 0.5f, 0.4f, 0.25f, 0.5032f, 0.5f}, 0, 0, 0, 0.0021f, 0},
        // G1: flume of 12.5 m
        {{qG1, 100.9f, 0.55f, 0.44f, 0.2273f, 0.5526f, 0.41f}, {qG1, 100.8f, 0.6f, 0.48f, 0.2083f, 0.6022f, 0.38f},
         12.5f, 0.0123f, 0.0045f, 0.0012f, 0},
        // D1: closed pipe flowing part full
        {{0.1f, 100.5f, 0.6f, 0.48f, 0.2083f, 0.6022f, 0.3f}, {0.1f, 100.4f, 0.7f, 0.56f, 0.1786f, 0.7016f, 0.2f},
         20.0f, 0, 0, 0, 12.5f},
        // W1: sluice gate, 1 m/s below it; a transition loss too small to show a second line
        {{0.1f, 100.3f, 0.9f, 0.72f, 0.1389f, 0.901f, 0.1f}, {0.1f, 100.3f, 0.6f, 0.1f, 1.0f, 0.651f, 0.1f},
         0, 0, 0.05f, 0.00005f, 32.5f},
        {{0.1f, 100.2f, 0.35f, 0.28f, 0.3571f, 0.3565f, 0}, {0.1f, 100.2f, 0.35f, 0.28f, 0.3571f, 0.3565f, 0}, 0, 0, 0, 0.1234f, 0},
        {{0.1f, 99.0f, 1.5f, 6.0f, 0.0167f, 1.5f, 0}, {0.1f, 99.0f, 1.5f, 6.0f, 0.0167f, 1.5f, 0}, 30.0f, 0, 0, 0, 0},
        // P1: pump delivering 2.5 m (its energy level 2.5 m below the level it feeds)
        {{0.1f, 98.0f, 0.5f, 0.4f, 0.25f, 0.5032f, 0}, {0.1f, 98.0f, 0.5f, 0.4f, 0.25f, 0.5032f, 0}, 0, 0, 0, -2.5f, 0},
        {{0.1f, 100.0f, 0.5f, 0.4f, 0.25f, 0.5032f, 0.2f}, {0.1f, 99.9f, 0.5f, 0.4f, 0.25f, 0.5032f, 0.2f}, 10.0f, 0, 0, 0, 0},
    };
    for (int i = 1; i <= 8; ++i) {
        Element& e = p.el[i];
        const auto& x = els[i - 1];
        e.bez_lang = e.bez;
        e.prof[kProfUp] = e.prof[kProfDown] = rect(100.0f, 0.8f, 0.8f);
        result(e, 2, x.up[0], x.up[1], x.up[2], x.up[3], x.up[4], x.up[5], x.up[6]);
        result(e, 1, x.down[0], x.down[1], x.down[2], x.down[3], x.down[4], x.down[5], x.down[6]);
        e.L = x.L, e.HVK = x.HVK, e.HVE1 = x.HVE1, e.HVU = x.HVU, e.flaenge = x.flaenge;
    }
    p.el[2].beschreibung = "Rinne 1";
    // D1: rise 0.4 above a layer of 0.8 m
    p.el[3].prof[kProfUp] = rect(100.5f, 0.8f, 0.8f, true, 0.4f);
    p.el[3].prof[kProfDown] = rect(100.4f, 0.8f, 0.8f, true, 0.4f);
    // W1: single-loss head 0.01 m given
    p.el[4].kurzbez = "Schuetz";
    p.el[4].hve.HVE = 0.01f;
    // B1: a velocity remark that the listing clears
    p.el[6].res[2].bem[4] = p.el[6].res[1].bem[4] = "v ";
    p.el[6].res[1].bem[1] = "gr";
    p.all.titel[1] = "Kläranlage Süd";
    p.all.datum = "01.02.2024";
    p.all.AnhangERG = "Anlage 3";
    p.all.AnhangQVE = "Anlage 4";
}

// Q1 -> A1 -> (G1, G2) -> Z1 -> V1 -> (U1, U2) -> S1 -> G3: a division, a
// confluence, a distribution flume with two weirs as outlets and a collection
// flume fed by them, with the discharges of the branches set by hand.
void branching(RunContext& ctx) {
    Plant& p = ctx.plant;
    elements(p, {{"Q1", T_Q}, {"A1", T_A}, {"G1", T_G}, {"G2", T_G, 2}, {"Z1", T_Z}, {"V1", T_A}, {"U1", T_U},
                 {"U2", T_U, 3}, {"S1", T_Z}, {"G3", T_G}});
    links(p, {{0, 2}, {1, 3, 0, 4}, {2, 5}, {2, 5}, {3, 6, 4}, {5, 7, 0, 8}, {6, 9}, {6, 9}, {7, 10, 8}, {9, 0}});
    // the division carries nothing; its branch coefficients 0.5 and 0.9
    for (int i : {2, 5, 6, 9}) p.el[i].iord = i == 2 || i == 5 ? 1 : 2;
    p.auf.resize(3);
    p.zus.resize(3);
    p.auf[1].br[1].zeta = 0.5f;
    p.auf[1].br[2].zeta = 0.9f;
    // the confluence: 0.1 and 0.2 m3/s join to 0.3 m3/s
    p.el[3].res[1].Q = 0.1f;
    p.el[4].res[1].Q = 0.2f;
    p.el[5].res[1].Q = 0.3f;
    // its coefficients tabled over the share of each inlet at 0, 0.2, ..., 1.0
    p.zus[1].tflag = 'T';
    for (int k = 1; k <= 6; ++k) {
        p.zus[1].br[1].zt[k] = 0.1f * static_cast<float>(k);
        p.zus[1].br[2].zt[k] = 0.9f + 0.1f * static_cast<float>(k);
    }
    // the distribution flume splits 0.3 m3/s into 0.12 and 0.18 m3/s
    p.el[6].res[2].Q = p.el[9].res[1].Q = 0.3f;
    p.auf[2].br[1].zeta = 0.4f;
    p.el[7].res[2].Q = p.el[7].res[1].Q = 0.12f;
    p.el[8].res[2].Q = p.el[8].res[1].Q = 0.18f;
}

struct ResultsDbTest : ::testing::Test {
    TempDir dir;
    std::string resultsDb;
    RecordingUi ui;
    void SetUp() override { fresh_db(); }
    // A new empty results database in place of any earlier one.
    void fresh_db() {
        if (!resultsDb.empty()) std::filesystem::remove(resultsDb);
        RunContext ctx;
        point_diagnostics(ctx, dir);
        std::string status;
        input::db_new_results(ctx, dir.path(), resultsDb, status);
        ASSERT_EQ(status, "ok");
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(resultsDb, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    // A run context of variant `name` in the test directory.
    void prepare(RunContext& ctx, const std::string& name) {
        point_diagnostics(ctx, dir);
        place_run(ctx, dir.path(), name);
        ctx.run.resultsDb = resultsDb;
        ctx.ui = &ui;
        checks::fehler(ctx, "INIT", ctx.run.basePath, "Prüfprotokoll");
    }
    // Stores the results of the chain as variant `name`, G1 carrying qG1.
    void store_chain(const std::string& name, float qG1) {
        RunContext ctx;
        prepare(ctx, name);
        chain(ctx, qG1);
        output::write_erg_tables(ctx);
        EXPECT_EQ(ctx.run.resultsStatus, "ok");
        ctx.rep.close();
    }
    std::string q(const std::string& sql) {
        return sqlite(resultsDb, ".mode list\n.nullvalue NULL\n" + sql);
    }
};

}  // namespace

TEST_F(ResultsDbTest, VariantComputedTwiceKeepsOneFullOverviewRowAndTheLastRows) {
    store_chain("NORD", 0.05f);
    for (float qrun : {0.1f, 0.2f}) store_chain("SUED", qrun);
    EXPECT_EQ(q("SELECT Variante, count(*) FROM Berechnungsuebersicht GROUP BY Variante ORDER BY 1;"),
              "NORD|1\nSUED|1");
    EXPECT_EQ(q("SELECT name FROM sqlite_master WHERE type='table' AND name LIKE 'ERG%' ORDER BY 1;"),
              "ERG_NORD\nERG_SUED");
    // 2 + 2 + 2 + 1 + 1 + 2 + 1 + 2 rows, the flume with the discharge of the last run
    EXPECT_EQ(q("SELECT count(*), max(ID) FROM ERG_SUED;"), "13|13");
    EXPECT_EQ(q("SELECT group_concat(Q) FROM ERG_SUED WHERE KENSYS='G1';"), "0.200000002980232,0.200000002980232");
    // the other variant is untouched
    EXPECT_EQ(q("SELECT count(*) FROM ERG_NORD;"), "13");
    EXPECT_EQ(q("SELECT group_concat(round(Q,4)) FROM ERG_NORD WHERE KENSYS='G1';"), "0.05,0.05");
    // a plant without divisions or confluences gets an empty discharge table
    EXPECT_EQ(q("SELECT count(*) FROM QVE_SUED;"), "0");
    // the overview row: date, titles (NULL for empty ones), version, appendices
    EXPECT_EQ(q("SELECT Variante, Datum, Beschreibung1, Beschreibung2 IS NULL, Beschreibung3 IS NULL, "
                "Programmversion, Anh_Erg, Anh_Qve FROM Berechnungsuebersicht WHERE Variante = 'SUED';"),
              "SUED|01.02.2024|Kläranlage Süd|1|1|RIVOLA 8.03|Anlage 3|Anlage 4");
}

// The table rows and the CSV lines carry the same values, one row to each
// element line of the listing; those of the chain are worked out by hand (the
// listing's columns are guarded by the listing tests and the stored listings).
TEST_F(ResultsDbTest, TableAndCsvCarryTheSameValues) {
    for (const std::string variant : {"KETTE", "TEIL", "LANG"}) {
        RunContext ctx;
        prepare(ctx, variant);
        if (variant == "KETTE") {
            chain(ctx);
        } else if (variant == "LANG") {
            flume_line(ctx.plant, 60);   // two rows each: more rows than one insert takes
        } else {
            branching(ctx);
            Plant& p = ctx.plant;
            for (int i = 1; i <= p.nsys; ++i) {
                Element& e = p.el[i];
                for (int s = 1; s <= 2; ++s) {
                    const float q = e.res[s].Q;
                    const float x = 0.01f * static_cast<float>(i) + 0.001f * static_cast<float>(s);
                    result(e, s, q, 100.0f - 10.0f * x, 0.5f + x, 0.4f + x, 0.3f + x, 0.52f + x, 1.0f + x);
                }
                e.L = 5.0f + static_cast<float>(i);
                e.HVK = 0.001f * static_cast<float>(i);
                e.HVE1 = 0.002f * static_cast<float>(i);
                e.HVU = 0.003f * static_cast<float>(i);
                e.prof[kProfUp] = e.prof[kProfDown] = rect(99.0f, 1.0f, 1.0f);
            }
            p.el[3].res[2].Q = 0.1f;                      // one branch of the division carries flow
            p.el[2].res[1].Tau = p.el[2].res[2].Tau = -9999.99f;   // a division has no shear stress
            p.el[2].res[2].bem[1] = "gr";
            p.el[3].beschreibung = "Rinne; Teil\n2";     // separators in a text field
            p.el[6].res[2].bem[3] = "ü";
            p.auf[1].branch[1].hR = 0.0011f;              // losses through the division's branches
            p.auf[1].branch[1].hv = 0.0022f;
            p.auf[1].branch[2].hR = 0.0033f;
            p.auf[1].branch[2].hv = 0.0044f;
        }
        output::outerg(ctx);
        ASSERT_EQ(ctx.run.resultsStatus, "ok");
        const auto erg = erg_element_lines(ctx.run.basePath + ".ERG");
        const auto rows = lines_of(q("SELECT " + std::string(kColumns) + " FROM ERG_" + variant + " ORDER BY ID;"));
        const auto csv = lines_of(read_file(ctx.run.basePath + ".csv"));
        ASSERT_EQ(erg.size(), rows.size());
        ASSERT_EQ(csv.size(), rows.size() + 1);
        ASSERT_GT(rows.size(), 12u);
        for (size_t r = 0; r < rows.size(); ++r) {
            const auto t = fields(rows[r], '|');
            same_row(t, fields(csv[r + 1], ';'));
        }
        if (variant == "KETTE") {
            ASSERT_EQ(csv.size(), 14u);
            // The flume: upstream section with friction and single loss and no length,
            // then the downstream section with length and transition loss; the
            // freeboard is the height of the open section less the depth.
            EXPECT_EQ(csv[3], "3;1;G1;Rinne 1;1;0.1000;;100.900;0.800;0.550;101.450;0.440;0.23;101.4526;0.41;T;0.0123;0.0045;;;;0.250;");
            EXPECT_EQ(csv[4], "4;2;G1;Rinne 1;1;0.1000;12.500;100.800;0.800;0.600;101.400;0.480;0.21;101.4022;0.38;T;;;;0.0012;;0.200;");
            // The pressure pipe flows part full below its crown: "FS" in the fifth
            // remark, no freeboard of a closed section.
            EXPECT_EQ(csv[5], "5;1;D1;;1;0.1000;;100.500;1.200;0.600;101.100;0.480;0.21;101.1022;0.30;T;0.0000;0.0000;;;        FS;;");
            // The sluice gate: one line (transition loss 0.00005 m) with the single
            // loss; a wall's section is its opening, with no freeboard.
            EXPECT_EQ(csv[7], "7;1;W1;;1;0.1000;;100.300;0.800;0.900;101.200;0.720;0.14;101.2010;0.10;T;;0.0500;;;;;");
            // The weir: one line with the transition loss; water over its crest is
            // no lack of freeboard.
            EXPECT_EQ(csv[8], "8;1;U1;;1;0.1000;;100.200;0.800;0.350;100.550;0.280;0.36;100.5565;0.00;T;;;;0.1234;;;");
            // The basin's velocity remark is cleared, its critical-depth remark kept.
            EXPECT_EQ(fields(csv[9], ';')[20], "");
            EXPECT_EQ(fields(csv[10], ';')[20], "gr");
            // The pump: the delivery head in the length column.
            EXPECT_EQ(csv[11], "11;1;P1;;1;0.1000;2.500;98.000;0.800;0.500;98.500;0.400;0.25;98.5032;0.00;T;;;;;;0.300;");
            // Columns the CSV leaves out: flow length and largest width.
            EXPECT_EQ(fields(rows[4], '|')[20], "12.5");
            EXPECT_EQ(fields(rows[4], '|')[21], "0.800000011920929");
            // The wall's single-loss head is below one velocity head: W50 in the check list.
            ctx.rep.close();
            EXPECT_NE(read_file(ctx.run.checkListFile).find("W1"), std::string::npos);
            EXPECT_EQ(ctx.run.ierr, 1);
        }
        if (variant == "TEIL") {
            // the single loss of the 2nd branch of a division goes to HVE2
            EXPECT_EQ(q("SELECT IZ, round(HVK,4), round(HVE1,4), HVE2 IS NULL, round(HVE2,4) FROM ERG_TEIL "
                        "WHERE KENSYS='A1' AND IZ > 1;"),
                      "2|0.0011|0.0022|1|NULL\n3|0.0033|NULL|0|0.0044");
            // the separators of the text do not shift the fields of the CSV line
            EXPECT_EQ(fields(csv[6], ';')[3], "Rinne, Teil 2");
        }
    }
}

TEST_F(ResultsDbTest, DivisionsAndConfluencesGiveSharesAndLossCoefficients) {
    RunContext ctx;
    prepare(ctx, "TEIL");
    branching(ctx);
    std::string status;
    output::store_results(ctx, resultsDb, "TEIL", {}, status);
    ASSERT_EQ(status, "ok");
    const auto rows = lines_of(q("SELECT ID,KENSYS,ORD,KENZA1,ORDZA1,round(Q_ZA1,4),round(P_ZA1,4),round(Z_ZA1,4),"
                                 "KENZA2,ORDZA2,round(Q_ZA2,4),round(P_ZA2,4),round(Z_ZA2,4) FROM QVE_TEIL ORDER BY ID;"));
    ASSERT_EQ(rows.size(), 4u);
    // inflow 0: both shares 50 %
    EXPECT_EQ(rows[0], "1|A1|1|G1|1|0.0|50.0|0.5|G2|2|0.0|50.0|0.9");
    // shares 1/3 and 2/3: 0.2 + (1/3 - 0.2)/0.2 * 0.1 = 0.2667 and
    // 1.3 + (2/3 - 0.6)/0.2 * 0.1 = 1.3333
    EXPECT_EQ(rows[1], "2|Z1|1|G1|1|0.1|33.3333|0.2667|G2|2|0.2|66.6667|1.3333");
    // a distribution flume with two outlets and a collection flume with two
    // inlets have no loss coefficients
    EXPECT_EQ(rows[2], "3|V1|1|U1|1|0.12|40.0|NULL|U2|3|0.18|60.0|NULL");
    EXPECT_EQ(rows[3], "4|S1|1|U1|1|0.12|40.0|NULL|U2|3|0.18|60.0|NULL");
    // a confluence fed straight by the first element: its strand is the inlet's
    RunContext two;
    prepare(two, "ZWEI");
    elements(two.plant, {{"Q1", T_Q}, {"Q2", T_Q, 2}, {"Z1", T_Z}});
    links(two.plant, {{0, 3}, {0, 3}, {1, 0, 2}});
    two.plant.el[3].iord = 1;
    two.plant.zus.resize(2);
    output::store_results(two, resultsDb, "ZWEI", {}, status);
    ASSERT_EQ(status, "ok");
    EXPECT_EQ(q("SELECT KENSYS,KENZA1,ORDZA1,KENZA2,ORDZA2 FROM QVE_ZWEI;"), "Z1|Q1|1|Q2|2");
}

// Results that cannot be stored in the database: the listing and CSV file of
// the run are still complete, the database keeps every earlier result, and the
// run has a result not stored, with a check-list line with the driver's own reason.
TEST_F(ResultsDbTest, ResultsTheDatabaseRefusesKeepItsEarlierResultsAndAreTold) {
    const struct {
        const char* attack;
        std::string status;   // the run's status text of the results database
        const char* reason;   // the driver's reason in the check list
    } cases[] = {
        {"missing", "Die Ergebnisdatenbank " + resultsDb + " exitiert nicht! Abbruch", "die Datei existiert nicht"},
        {"read-only", "Fehler(out_tbl_Berechnungsuebersicht): DB_row_delete_by_char: [SQLite]attempt to write a readonly database (8)",
         "readonly database"},
        {"trigger", "Fehler(out_tbl_Berechnungsuebersicht): f90SQLExecute: [SQLite]refused (19)", "refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attack);
        fresh_db();
        for (const char* v : {"NORD", "SUED"}) store_chain(v, 0.1f);
        const std::string attack = c.attack;
        if (attack == "missing") std::filesystem::remove(resultsDb);
        if (attack == "read-only")
            std::filesystem::permissions(resultsDb, std::filesystem::perms::owner_read, std::filesystem::perm_options::replace);
        if (attack == "trigger")   // a rule of the database refuses the new overview row
            sqlite(resultsDb, "CREATE TRIGGER refuse BEFORE INSERT ON Berechnungsuebersicht "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
        ui.logs.clear();
        RunContext ctx;
        prepare(ctx, "SUED");
        chain(ctx, 0.3f);
        ctx.plant.all.datum = "03.04.2025";
        output::outerg(ctx);
        ctx.rep.close();
        EXPECT_EQ(ctx.run.resultsStatus, c.status);
        ASSERT_EQ(ctx.run.storeFailures.size(), 1u);   // the run driver makes it level 3
        const std::string list = read_file(ctx.run.checkListFile);
        EXPECT_NE(list.find("D01"), std::string::npos) << list;
        EXPECT_NE(list.find(c.reason), std::string::npos) << list;
        bool shown = false;
        for (const auto& l : ui.logs) shown = shown || l.find(c.reason) != std::string::npos;
        EXPECT_TRUE(shown);
        // the new results are in the listing and the CSV file
        EXPECT_EQ(erg_element_lines(ctx.run.basePath + ".ERG").size(), 13u);
        EXPECT_EQ(fields(lines_of(read_file(ctx.run.basePath + ".csv"))[3], ';')[5], "0.3000");
        if (attack == "missing") {
            EXPECT_FALSE(std::filesystem::exists(resultsDb));   // nothing creates it
            continue;
        }
        // the database keeps the earlier run's results of both variants
        EXPECT_EQ(q("SELECT group_concat(Variante || ' ' || Datum) FROM Berechnungsuebersicht;"),
                  "NORD 01.02.2024,SUED 01.02.2024");
        EXPECT_EQ(q("SELECT count(*), round(max(Q),4) FROM ERG_SUED;"), "13|0.1");
        EXPECT_EQ(q("SELECT count(*) FROM ERG_NORD;"), "13");
        std::filesystem::permissions(resultsDb, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
    }
}
