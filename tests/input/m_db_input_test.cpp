// The variant reader against real SQLite variant files through unixODBC.
#include <gtest/gtest.h>

#include "database/m_db_input.h"

#include <sys/stat.h>

#include "common/variant_db.h"
#include "database/db_tools.h"
#include "support/m_strings.h"

using namespace rivola;
using namespace rivola::input;
using namespace rivola::test;

namespace {

struct ReaderTest : ::testing::Test {
    TempDir dir;
    RunContext ctx;
    RecordingUi ui;
    std::string status;
    std::string db;
    void SetUp() override {
        point_diagnostics(ctx, dir);
        ctx.ui = &ui, db = dir / "PLANT.mdb";
    }
    // A variant: the schema, one tbl_all row and the given element rows.
    void make(const std::string& path, const std::string& rows,
              const std::string& all = "INSERT INTO tbl_all (Titel) VALUES ('T');") {
        RunContext tools;
        point_diagnostics(tools, dir);
        std::string s;
        std::filesystem::remove(path);
        db_new_variant(tools, path, s);
        ASSERT_EQ(s, "ok");
        sqlite(path, all + rows);
    }
    std::string diag() const { return rivola::test::read_file(dir / "DB_Fehler.pkl"); }
    const Element& el(int i) const { return ctx.plant.el[static_cast<size_t>(i)]; }
};

const char* kRow = "INSERT INTO tbl_rvldaten (er, bez, zulauf1, ablauf1) VALUES ";

}  // namespace

TEST_F(ReaderTest, ElementsInErOrderWithNullDefaults) {
    make(db, std::string(kRow) + "(30, 'G1', 'Q1', 'ENDE');" + kRow + "(10, 'Q1', NULL, 'G1');",
         "INSERT INTO tbl_all (Titel, Zeilen) VALUES ('T', 61); ALTER TABLE tbl_all DROP COLUMN datum;");
    inmdb(ctx, db, status);
    ASSERT_EQ(std::tie(status, ctx.run.ierr, ctx.plant.nsys), std::tuple("ok", 0, 2));
    // ER 10 before ER 30; without components the long name is the name alone
    EXPECT_EQ(el(1).bez + "|" + el(2).bez + "|" + el(2).ablauf1 + "|" + el(1).zulauf1 + "|" + el(1).bez_lang,
              "Q1|G1|ENDE||Q1");
    EXPECT_EQ(el(1).source, 0);
    // NULL defaults; HVE_N NULL is -999.0, not -999999.0
    EXPECT_EQ(std::string({el(1).tz, el(1).out_erk, el(1).out_tau, el(1).plotflag}), "NNNY");
    EXPECT_EQ(el(1).geo.o1.T + el(1).hve.T, "");
    const BaseSettings& a = ctx.plant.all;
    expect_floats({el(1).Q, el(1).aufteilung1, el(1).geo.L, el(1).geo.u2.B[5], el(1).hve.zeta2[6], el(1).hve.N,
                   a.Vmin, a.Wasserstand},
                  {kMissing, kMissing, kMissing, kMissing, kMissing, -999.0f, kMissing, kMissing});
    // base settings left NULL: the model's defaults; 61 lines a page stay
    expect_floats({a.Vmax, a.DIFFmax, a.Bezug}, {999999.0f, 10.0f, 0.0f});
    EXPECT_EQ(a.titel[1] + "|" + a.Q_ls + "|" + a.datum, "T|J|");
    EXPECT_EQ(ctx.plant.Zeilen, 61);
    // the source table
    ASSERT_EQ(ctx.plant.sources.src.size(), 1u);
    EXPECT_EQ(ctx.plant.sources.src[0].isys, (std::vector<int>{1, 2}));
    // the logs next to the variant
    EXPECT_TRUE(holds(read_file(dir / "#BG.pkl"), "#  " + db));
    EXPECT_TRUE(holds(read_file(dir / "#Logik.pkl"), "G1"));
    // the column datum, missing, was added to tbl_all
    EXPECT_TRUE(holds(sqlite(db, "PRAGMA table_info(tbl_all);"), "|datum|Date|"));
}

// (read-only: a variant with its datum column needs no write)
TEST_F(ReaderTest, BaseSettingsAndTheirCorrectionsFromAReadOnlyFile) {
    make(db, std::string(kRow) + "(1, 'Q1', NULL, 'ENDE');",
         "INSERT INTO tbl_all VALUES ('  Erste Zeile' || char(13) || char(10) || "
         "'Zweite Zeile, die mit Absicht länger als vierzig Zeichen ist' || char(10) || "
         "'Dritte' || char(10) || 'Vierte', 0.3, 2.5, NULL, 3.0, 0.2, NULL, 80, NULL, 40, -3.5, "
         "101.66, 'N', 'Anhang ERG ist zu lang', 'B', NULL, '2024-03-05', NULL);");
    ASSERT_EQ(::chmod(db.c_str(), 0444), 0);
    inmdb(ctx, db, status);
    ASSERT_EQ(std::tie(status, ctx.plant.nsys), std::tuple("ok", 1));
    const BaseSettings& a = ctx.plant.all;
    // left-adjusted, carriage return dropped; cut to 40 characters; a fourth line dropped
    EXPECT_EQ(a.titel[1] + "|" + a.titel[2] + "|" + a.titel[3],
              "Erste Zeile|Zweite Zeile, die mit Absicht länger als|Dritte");
    // a negative datum becomes 0
    expect_floats({a.Vmin, a.Vmax, a.Bmin, a.Bmax, a.Hmax, a.Lmax, a.DIFFmax, a.Bezug, a.Wasserstand},
                  {0.3f, 2.5f, kMissing, 3.0f, 999999.0f, 80.0f, 10.0f, 0.0f, 101.66f});
    EXPECT_EQ(ctx.plant.Zeilen, 60);            // 40 lines a page become 60
    // the ERG appendix cut to 19 characters
    EXPECT_EQ(a.Q_ls + "|" + a.AnhangERG + "|" + a.AnhangERK + "|" + a.AnhangQVE + "|" + a.datum,
              "N|Anhang ERG ist zu l|B||05.03.2024");
}

// Deleted rows are skipped; texts are cut and told from numbers; an element
// name given twice: every such element gets the GEO and HVE data of the last.
TEST_F(ReaderTest, DeletedRowsTextsAndTheSameNameTwice) {
    make(db, std::string(kRow) + "(1, 'Q1', NULL, 'G1');" +
                 "INSERT INTO tbl_rvldaten (er, bez, geloescht) VALUES (2, 'G9', 1);" +
                 "INSERT INTO tbl_rvldaten (er, bez, geloescht, beschreibung, np, tz, out_erk, "
                 "plotweg, Q, aufteilung1, aufteilung2, GEO_L, GEO_oB11, GEO_uT2, HVE_zeta1, HVE_N, HVE_T) "
                 "VALUES (3, 'G1', 0, 'Überlaufrinne zum Becken 1 und 2', 'j', '', 'X', '7', '12.5', -25, "
                 "60.0, 10, 0.8, 'K', 0.5, 3, 'T');"
                 "INSERT INTO tbl_rvldaten (er, bez) VALUES (4, 'G2');"
                 "INSERT INTO tbl_rvldaten (er, bez, GEO_L, GEO_oB11, GEO_uT2, HVE_zeta1, HVE_N) "
                 "VALUES (5, 'G1', 20, 1.2, NULL, 0.7, 2.9);");
    inmdb(ctx, db, status);
    ASSERT_EQ(std::tie(status, ctx.plant.nsys), std::tuple("ok", 4));
    // 32 characters, the first 26 kept (the umlaut counts as one)
    EXPECT_EQ(el(2).beschreibung, "Überlaufrinne zum Becken 1");
    // np "j": not plotted; an empty text is blank, not the default
    EXPECT_EQ(std::string({el(2).plotflag, el(2).tz, el(2).out_erk}) + el(2).plotweg, "N X7");
    // a number stored as text is a number
    expect_floats({el(2).Q, el(2).aufteilung1, el(2).aufteilung2}, {12.5f, -25.0f, 60.0f});
    for (int i : {2, 4}) {   // HVE_N a count: the integer part
        SCOPED_TRACE(i);
        EXPECT_EQ(el(i).bez + "|" + el(i).geo.u2.T + "|" + el(i).hve.T, "G1||");
        expect_floats({el(i).geo.L, el(i).geo.o1.B[1], el(i).hve.zeta1[1], el(i).hve.N}, {20.0f, 1.2f, 0.7f, 2.0f});
    }
    EXPECT_EQ(el(3).geo.L, kMissing);
}

TEST_F(ReaderTest, EveryGeoAndHveColumnReachesItsField) {
    // each numeric column gets a value of its own: column k holds k + 0.25
    std::vector<std::string> names = {"GEO_L", "GEO_K", "GEO_C", "GEO_C2"};
    for (const char* end : {"o1", "u1", "o2", "u2"}) {
        const std::string e(1, end[0]), d(1, end[1]);
        const std::string up = e == "o" ? "O" : "U";
        names.push_back("GEO_Z" + up + d);
        names.push_back("GEO_" + e + "HS" + d);
        for (int k = 1; k <= 5; ++k) {
            names.push_back("GEO_" + e + "H" + d + std::to_string(k));
            names.push_back("GEO_" + e + "B" + d + std::to_string(k));
        }
    }
    names.push_back("HVE_HVE");
    for (const char* second : {"", "_2"})
        for (int k = 1; k <= 6; ++k) names.push_back("HVE_zeta" + std::to_string(k) + second);
    names.insert(names.end(), {"HVE_mue", "HVE_n_c", "HVE_H", "HVE_BU", "HVE_BO", "HVE_A"});
    std::string cols = "er, bez, GEO_oT1, GEO_uT1, GEO_oT2, GEO_uT2, HVE_T, HVE_N";
    std::string vals = "1, 'W1', 'T', 'K', 'x', 'y', 'K', 4";
    int k = 0;
    for (const auto& c : names) {
        cols += ", " + c;
        vals += ", " + std::to_string(++k) + ".25";
    }
    make(db, "INSERT INTO tbl_rvldaten (" + cols + ") VALUES (" + vals + ");");
    inmdb(ctx, db, status);
    ASSERT_EQ(status, "ok");
    const GeoInput& g = el(1).geo;
    const HveInput& h = el(1).hve;
    // the fields in the order of the columns above
    std::vector<float> got = {g.L, g.K, g.C, g.C2};
    for (const GeoProfileInput* p : {&g.o1, &g.u1, &g.o2, &g.u2}) {
        got.insert(got.end(), {p->Z, p->HS});
        for (int j = 1; j <= 5; ++j) got.insert(got.end(), {p->H[j], p->B[j]});
    }
    got.push_back(h.HVE);
    got.insert(got.end(), h.zeta1.begin() + 1, h.zeta1.begin() + 7);
    got.insert(got.end(), h.zeta2.begin() + 1, h.zeta2.begin() + 7);
    got.insert(got.end(), {h.mue, h.n_c, h.H, h.BU, h.BO, h.A});
    ASSERT_EQ(got.size(), names.size());
    for (size_t j = 0; j < got.size(); ++j) EXPECT_FLOAT_EQ(got[j], j + 1.25f) << names[j];
    EXPECT_EQ(g.o1.T + g.u1.T + g.o2.T + g.u2.T + h.T, "TKxyK");
    EXPECT_FLOAT_EQ(h.N, 4.0f);
}

// The variant lies in a folder of a long name: the long names of its own
// elements leave less room for the element's name.
TEST_F(ReaderTest, ComponentTakesThePlaceOfItsRowAndALongPathLeavesLessRoomForTheName) {
    const std::string sub = dir / "ein_sehr_langer_verzeichnisname_fuer_die_variante";
    std::filesystem::create_directories(sub);
    const std::string v = sub + "/PLANT.mdb", component = sub + "/PLANT_C_A.mdb";
    make(v, std::string(kRow) + "(1, 'Q1_LANGNAME', NULL, 'G1');" + kRow + "(2, 'C_A', NULL, NULL);" +
                kRow + "(3, 'G2', 'G11', 'ENDE');");
    make(component, std::string(kRow) + "(2, 'G11', 'G10', 'G2');" + kRow + "(1, 'G10', 'Q1_LANGNAME', 'G11');" +
                        kRow + "(3, 'C_X', NULL, NULL);");
    inmdb(ctx, v, status);
    ASSERT_EQ(std::tie(status, ctx.plant.nsys), std::tuple("ok", 5));
    for (int i = 1; const char* name : {"Q1_LANGNAME", "G10", "G11", "C_X", "G2"}) EXPECT_EQ(el(i++).bez, name);
    // components are not nested: C_X inside the component is an element
    EXPECT_EQ(el(4).bez_lang + "|" + el(2).bez_lang, "C_A/C_X|C_A/G10");
    EXPECT_EQ(std::pair(el(1).source, el(2).source), std::pair(0, 1));
    ASSERT_GT(v.size(), 50u);
    EXPECT_EQ(el(1).bez_lang, (v.substr(0, 50) + "/Q1_LANGNAME").substr(0, 62));
    EXPECT_EQ(support::ulen(el(1).bez_lang), 62u);
    const auto& src = ctx.plant.sources.src;
    ASSERT_EQ(src.size(), 2u);
    EXPECT_EQ(std::tie(src[0].isys, src[1].isys, src[1].name, src[1].label),
              std::tuple(std::vector<int>{1, 5}, std::vector<int>{2, 3, 4}, component, "C_A"));
    EXPECT_TRUE(holds(read_file(sub + "/#BG.pkl"), "#  " + component));
}

// --- bad input: a clear message, error level 3, nothing written but datum ---

TEST_F(ReaderTest, BadVariantsStopWithAClearMessage) {
    const std::string one = std::string(kRow) + "(1, 'Q1', NULL, 'ENDE');";
    const std::string two = std::string(kRow) + "(1, 'Q1', NULL, 'G1');" + kRow +
                            "(2, 'G1', 'Q1', 'ENDE');";
    struct Case {
        std::string rows;    // element rows of the variant; "-" no file at all
        std::string change;  // SQL applied to the variant afterwards
        const char* title;   // of the message box; nullptr: not checked
        std::string status;  // the status, or part of it when `partial`
        std::string box;     // the box text, or part of it when `partial`
        bool partial;
        const char* diag;    // part of DB_Fehler.pkl
        bool readOnly = false;
    };
    const std::string db_text = "Fehler in Datenbank-Tabelle " + db + "/tbl_all\nsiehe DB_Fehler.pkl";
    // the box names table, element and column, and tells a text from a number
    // that single precision cannot hold
    auto number = [&](const std::string& set, const std::string& said) {
        return Case{two, set, "rivola_8 Abbruch", said, said, true, ""};
    };
    const Case cases[] = {
        {"-", "", "Datenbankfehler", "",
         "Die Datenbank " + db + " existiert nicht!\nsiehe: DB_Fehler.pkl\nAbbruch!", false, ""},
        // base settings without their columns
        {"+", "", "rivola_8 Abbruch", "", db_text, false, ""},
        {one, "ALTER TABLE tbl_rvldaten DROP COLUMN HVE_A;", "rivola_8 Abbruch",
         "Fehler(DB_hve): f90SQLExecDirect", "", false, "HVE_A"},
        {one + kRow + "(2, 'C_FEHLT', NULL, NULL);", "", "Datenbankfehler",
         "Die Datenbank " + (dir / "PLANT_C_FEHLT.mdb") + " existiert nicht!", "", false, ""},
        {"", "", "rivola_8 Abbruch", "Fehler(DB_weg): tbl_rvldaten enthält keine Elemente", "",
         false, "keine Elemente"},
        // only deleted rows count as empty too
        {"INSERT INTO tbl_rvldaten (er, bez, geloescht) VALUES (1, 'Q1', 1);", "", nullptr, "", "",
         false, ""},
        number("UPDATE tbl_rvldaten SET Q = 'viel' WHERE bez='G1';",
               "tbl_rvldaten, bez=G1, Q: \"viel\" ist keine Zahl"),
        number("UPDATE tbl_rvldaten SET GEO_oB13 = '0.8m' WHERE bez='G1';",
               "tbl_rvldaten, bez=G1, GEO_oB13: \"0.8m\" ist keine Zahl"),
        number("UPDATE tbl_rvldaten SET GEO_oB13 = 'NaN' WHERE bez='G1';",
               "GEO_oB13: \"NaN\" ist keine Zahl"),
        number("UPDATE tbl_rvldaten SET GEO_oB13 = 1e999 WHERE bez='G1';",
               "\" liegt außerhalb des zulässigen Bereichs"),
        number("UPDATE tbl_rvldaten SET HVE_N = 1e12 WHERE bez='G1';",
               "\" liegt außerhalb des zulässigen Bereichs"),
        // read-only and without the datum column: the column cannot be added
        {one, "ALTER TABLE tbl_all DROP COLUMN datum;", "Datenbankfehler", "", "", false, "", true},
        number("UPDATE tbl_all SET Vmax='x';", "tbl_all, Vmax: \"x\" ist keine Zahl"),
        // finite in double precision, beyond single precision; beyond any integer column
        number("UPDATE tbl_rvldaten SET GEO_L = 3.5e38 WHERE bez='G1';", "GEO_L: \"3.5"),
        number("UPDATE tbl_rvldaten SET aufteilung1 = '-Infinity' WHERE bez='G1';", "aufteilung1: \"-Infinity\""),
        number("UPDATE tbl_all SET Zeilen = 99999999999;", "tbl_all, Zeilen: \""),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows + " | " + c.change);
        std::filesystem::remove(db);
        if (c.rows == "+")
            sqlite(db, "CREATE TABLE tbl_all (Titel text, datum Date);"
                       "CREATE TABLE tbl_rvldaten (er integer, bez text);");
        else if (c.rows != "-")
            make(db, c.rows);
        if (!c.change.empty()) sqlite(db, c.change);
        if (c.readOnly) { ASSERT_EQ(::chmod(db.c_str(), 0444), 0); }
        const bool existed = std::filesystem::exists(db);
        const std::string before = existed ? rivola::test::read_file(db) : "";
        RunContext cx;
        RecordingUi u;
        cx.ui = &u, cx.db.diagFile = dir / "DB_Fehler.pkl";
        inmdb(cx, db, status);
        EXPECT_TRUE(status != "ok" && cx.run.ierr == 3) << status << ", error level " << cx.run.ierr;
        ASSERT_EQ(u.boxes.size(), 1u) << status;
        if (c.title) { EXPECT_EQ(u.boxes[0].substr(0, u.boxes[0].find('|')), c.title); }
        auto says = [&](const std::string& got, const std::string& want) {
            if (want.empty()) return;
            if (c.partial)
                EXPECT_NE(got.find(want), std::string::npos) << got;
            else
                EXPECT_EQ(got, want);
        };
        says(status, c.status);
        says(u.boxes[0].substr(u.boxes[0].find('|') + 1), c.box);
        if (*c.diag) { EXPECT_NE(diag().find(c.diag), std::string::npos); }
        // the file is left as it was, a missing one is not created
        EXPECT_EQ(std::filesystem::exists(db), existed);
        if (existed) { EXPECT_EQ(rivola::test::read_file(db), before); }
    }
}

TEST(ReaderValues, NumbersFromDatabaseTexts) {
    // 1 a number, 0 blank, -1 no number, -2 beyond single precision; the
    // value is left untouched unless a number was read
    struct Case {
        const char* text;
        int rc;
        float v;
    };
    for (const Case c : {Case{"0.8", 1, 0.8f}, Case{" +12.5 ", 1, 12.5f}, Case{"-3e2", 1, -300.0f},
                         Case{"0,25", 1, 0.25f},  // decimal comma
                         Case{"", 0, 7.0f}, Case{"   ", 0, 7.0f}, Case{"abc", -1, 7.0f},
                         Case{"1.5m", -1, 7.0f}, Case{"1,5,0", -1, 7.0f}, Case{"nan", -1, 7.0f},
                         Case{"Inf", -2, 7.0f}, Case{"-1e60", -2, 7.0f}, Case{"1e300", -2, 7.0f},
                         Case{"1e300x", -1, 7.0f}}) {
        float v = 7.0f;
        EXPECT_EQ(parse_number(c.text, v), c.rc) << c.text;
        EXPECT_FLOAT_EQ(v, c.v) << c.text;
    }
}

TEST(ReaderValues, DatesAsDayMonthYear) {
    // day, month or year below 1, or beyond the last year a date field holds: no date
    for (const auto& [stored, shown] : std::vector<std::pair<const char*, const char*>>{
             {"2024-03-05", "05.03.2024"}, {"2024-12-31 00:00:00", "31.12.2024"}, {"7.1.2023", "07.01.2023"},
             {"9999-12-31", "31.12.9999"}, {"0000-00-00", ""}, {"2024-00-05", ""}, {"gestern", ""}, {"", ""}})
        EXPECT_EQ(date_text(stored), shown) << stored;
}
