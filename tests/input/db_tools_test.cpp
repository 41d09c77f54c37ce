// Building databases: results database, empty variant, SQL scripts, and the
// example plants that the example command builds from examples/.
#include "database/db_tools.h"

#include "db_fixture.h"
#include "database/m_database.h"
#include "database/m_db_input.h"
#include "support/m_strings.h"

using namespace rivola;
using namespace rivola::input;
using rivola::testing::sqlite;
using rivola::testing::TempDir;

TEST(SqlScript, SplitsAtSemicolonsOutsideQuotesAndComments) {
    const auto s = split_sql_script(
        "-- a comment; with a semicolon\n"
        "CREATE TABLE a (x text);\n"
        "INSERT INTO a VALUES ('eins; zwei');  -- trailing comment 'x;'\n"
        "INSERT INTO a VALUES ('it''s; -- no comment');\n"
        "/* block; comment */ INSERT INTO [b;c] VALUES (\"d;e\")\n"
        ";;\n   \n");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0], "CREATE TABLE a (x text)");
    EXPECT_EQ(s[1], "INSERT INTO a VALUES ('eins; zwei')");
    EXPECT_EQ(s[2], "INSERT INTO a VALUES ('it''s; -- no comment')");
    EXPECT_EQ(s[3], "INSERT INTO [b;c] VALUES (\"d;e\")");
    EXPECT_TRUE(split_sql_script("-- only a comment").empty());
}

struct ToolTest : ::testing::Test {
    TempDir dir;
    RunContext ctx;
    std::string status;
    void SetUp() override { rivola::testing::point_diagnostics(ctx, dir); }
};

TEST_F(ToolTest, NewResultsDatabase) {
    std::string file;
    db_new_results(ctx, dir.path(), file, status);
    ASSERT_EQ(status, "ok");
    EXPECT_EQ(file, dir / "RIVOLA_8_Ergebnisse.mdb");
    EXPECT_EQ(sqlite(file, "SELECT group_concat(name || ':' || type, ',') FROM "
                           "pragma_table_info('Berechnungsuebersicht');"),
              "Variante:varchar(200),Datum:varchar(50),Beschreibung1:varchar(100),"
              "Beschreibung2:varchar(50),Beschreibung3:varchar(50),"
              "Programmversion:varchar(20),Anh_Erg:varchar(20),Anh_Qve:varchar(20)");
    // an existing results database keeps its rows
    sqlite(file, "INSERT INTO Berechnungsuebersicht (Variante) VALUES ('V1');");
    db_new_results(ctx, dir.path() + "/", file, status);
    EXPECT_EQ(status, "ok");
    EXPECT_EQ(sqlite(file, "SELECT Variante FROM Berechnungsuebersicht;"), "V1");
    // also under another case of its name
    TempDir other;
    sqlite(other / "rivola_8_ergebnisse.MDB", "CREATE TABLE x (a integer);");
    db_new_results(ctx, other.path(), file, status);
    EXPECT_EQ(status, "ok");
    EXPECT_EQ(file, other / "rivola_8_ergebnisse.MDB");
    EXPECT_EQ(sqlite(file, "SELECT count(*) FROM Berechnungsuebersicht;"), "0");
    EXPECT_FALSE(std::filesystem::exists(other / "RIVOLA_8_Ergebnisse.mdb"));
}

TEST_F(ToolTest, NewVariantHasEveryColumnTheReaderReads) {
    const std::string v = dir / "neu.mdb";
    db_new_variant(ctx, v, status);
    ASSERT_EQ(status, "ok");
    EXPECT_EQ(sqlite(v, "SELECT count(*) FROM pragma_table_info('tbl_all');"), "17");
    // 17 element columns, geloescht, 4 + 52 GEO, 22 - 1 HVE, 6 explanations
    EXPECT_EQ(sqlite(v, "SELECT count(*) FROM pragma_table_info('tbl_rvldaten');"),
              std::to_string(17 + 1 + 56 + 21 + 6));
    EXPECT_EQ(sqlite(v, "SELECT lower(type) FROM pragma_table_info('tbl_rvldaten') WHERE name='HVE_N';"),
              "integer");
    EXPECT_EQ(sqlite(v, "SELECT lower(type) FROM pragma_table_info('tbl_all') WHERE name='datum';"),
              "date");
    sqlite(v, "INSERT INTO tbl_all (Titel) VALUES ('Neu');"
              "INSERT INTO tbl_rvldaten (er, bez, ablauf1) VALUES (1, 'Q1', 'ENDE');");
    inmdb(ctx, v, status);
    EXPECT_EQ(status, "ok");
    EXPECT_EQ(ctx.plant.nsys, 1);
    // an existing file is not touched
    const std::string before = rivola::testing::read_file(v);
    db_new_variant(ctx, v, status);
    EXPECT_NE(status, "ok");
    EXPECT_EQ(rivola::testing::read_file(v), before);
}

TEST_F(ToolTest, LoadScriptReplacesOnlyOnSuccess) {
    const std::string v = dir / "built.mdb";
    const std::string good = dir / "good.sql", bad = dir / "bad.sql";
    std::ofstream(good) << "CREATE TABLE t (a text); INSERT INTO t VALUES ('x;y');\n"
                           "INSERT INTO t VALUES ('z');";
    std::ofstream(bad) << "CREATE TABLE t (a text); INSERT INTO nosuch VALUES (1);";
    db_load_script(ctx, v, good, status);
    ASSERT_EQ(status, "ok");
    EXPECT_EQ(sqlite(v, "SELECT group_concat(a, '|') FROM t;"), "x;y|z");
    // loading again rebuilds the file
    db_load_script(ctx, v, good, status);
    ASSERT_EQ(status, "ok");
    EXPECT_EQ(sqlite(v, "SELECT count(*) FROM t;"), "2");
    // a failing script leaves the built file as it was and no scratch file behind
    const std::string before = rivola::testing::read_file(v);
    db_load_script(ctx, v, bad, status);
    EXPECT_EQ(status.rfind("Fehler(DB_load): f90SQLExecDirect", 0), 0u) << status;
    EXPECT_NE(status.find("2"), std::string::npos);   // names the statement
    EXPECT_EQ(rivola::testing::read_file(v), before);
    EXPECT_FALSE(std::filesystem::exists(v + ".build"));
    db_load_script(ctx, v, dir / "missing.sql", status);
    EXPECT_NE(status, "ok");
}

TEST_F(ToolTest, SmallExamplePlantReads) {
    const std::string v = dir / "kleine_anlage.mdb";
    db_load_script(ctx, v, std::string(RIVOLA_SOURCE_DIR) + "/examples/kleine_anlage.sql", status);
    ASSERT_EQ(status, "ok");
    inmdb(ctx, v, status);
    ASSERT_EQ(status, "ok");
    const Plant& p = ctx.plant;
    ASSERT_EQ(p.nsys, 4);
    EXPECT_EQ(p.el[1].bez, "Q1");
    EXPECT_EQ(p.el[2].bez, "R1");
    EXPECT_EQ(p.el[4].ablauf1, "ENDE");
    EXPECT_FLOAT_EQ(p.el[1].Q, 100.0f);
    EXPECT_FLOAT_EQ(p.all.Wasserstand, 101.66f);
    // the inverts fall along the flow, the outlet level lies above the last invert
    EXPECT_GT(p.all.Wasserstand, p.el[4].geo.u1.Z);
    for (int i = 2; i <= 4; ++i) EXPECT_LE(p.el[i].geo.u1.Z, p.el[i].geo.o1.Z);
    EXPECT_EQ(p.all.titel[1], "Kleine Anlage");
}

// The treatment plant example: read with its component, then checked for the
// structural rules that a plant must obey (inlets before, outlets after an
// element, links in both directions, every element type present).
TEST_F(ToolTest, TreatmentPlantExampleWithItsComponent) {
    const std::string ex = std::string(RIVOLA_SOURCE_DIR) + "/examples/";
    const std::string v = dir / "klaeranlage.mdb";
    db_load_script(ctx, v, ex + "klaeranlage.sql", status);
    ASSERT_EQ(status, "ok");
    db_load_script(ctx, dir / "klaeranlage_C_SANDFANG.mdb", ex + "klaeranlage_C_SANDFANG.sql",
                   status);
    ASSERT_EQ(status, "ok");
    inmdb(ctx, v, status);
    ASSERT_EQ(status, "ok");
    const Plant& p = ctx.plant;
    ASSERT_EQ(p.nsys, 38);
    std::string letters;
    auto find = [&](const std::string& name) {
        int k = 0;
        for (int i = 1; i <= p.nsys; ++i)
            if (p.el[i].bez == name) k = i;
        return k;
    };
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& e = p.el[i];
        if (letters.find(e.bez[0]) == std::string::npos) letters += e.bez[0];
        EXPECT_LE(support::ulen(e.beschreibung), 26u);
        for (const std::string* in : {&e.zulauf1, &e.zulauf2}) {
            if (in->empty()) continue;
            const int k = find(*in);
            ASSERT_GT(k, 0) << e.bez << " inlet " << *in;
            EXPECT_LT(k, i) << e.bez;
            EXPECT_TRUE(p.el[k].ablauf1 == e.bez || p.el[k].ablauf2 == e.bez) << e.bez;
        }
        for (const std::string* out : {&e.ablauf1, &e.ablauf2}) {
            if (out->empty() || *out == "ENDE") continue;
            const int k = find(*out);
            ASSERT_GT(k, 0) << e.bez << " outlet " << *out;
            EXPECT_GT(k, i) << e.bez;
            EXPECT_TRUE(p.el[k].zulauf1 == e.bez || p.el[k].zulauf2 == e.bez) << e.bez;
        }
        if (i > 1) {
            EXPECT_FALSE(e.zulauf1.empty()) << e.bez;
        }
    }
    for (char c : std::string("GDBVSQRUWTMPAZ"))
        EXPECT_NE(letters.find(c), std::string::npos) << c;
    EXPECT_EQ(p.el[p.nsys].ablauf1, "ENDE");
    EXPECT_EQ(p.el[1].bez, "Q1");
    // the component's elements sit between the division and the confluence
    const int a1 = find("A1"), z1 = find("Z1"), g5 = find("G5");
    EXPECT_EQ(g5, a1 + 1);
    EXPECT_EQ(z1, a1 + 7);
    EXPECT_EQ(p.el[g5].bez_lang, "C_SANDFANG/G5");
    EXPECT_EQ(p.el[g5].source, 1);
    // markers of the sluice gate and of the siphon weir within the 26 characters read
    EXPECT_NE(support::upper(p.el[find("W1")].beschreibung).find("#SCHUETZ"), std::string::npos);
    EXPECT_NE(p.el[find("D2")].beschreibung.find("#HEBER"), std::string::npos);
    EXPECT_NE(p.el[find("D3")].beschreibung.find("#HEBER"), std::string::npos);
    EXPECT_EQ(find("D3"), find("D2") + 1);
    // the outlet level lies above the last invert
    EXPECT_GT(p.all.Wasserstand, p.el[p.nsys].geo.u1.Z);
}
