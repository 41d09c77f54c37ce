// Building databases: results database, empty variant and SQL scripts.
#include <gtest/gtest.h>

#include "database/db_tools.h"

#include "common/variant_db.h"
#include "database/m_database.h"

using namespace rivola;
using namespace rivola::input;
using namespace rivola::test;

TEST(SqlScript, SplitsAtSemicolonsOutsideQuotesAndComments) {
    const auto s = split_sql_script(
        "-- a comment; with a semicolon\n"
        "CREATE TABLE a (x text);\n"
        "INSERT INTO a VALUES ('eins; zwei');  -- trailing comment 'x;'\n"
        "INSERT INTO a VALUES ('it''s; -- no comment');\n"
        "/* block; comment */ INSERT INTO [b;c] VALUES (\"d;e\")\n"
        ";;\n   \n");
    EXPECT_EQ(s, (std::vector<std::string>{"CREATE TABLE a (x text)", "INSERT INTO a VALUES ('eins; zwei')",
                                           "INSERT INTO a VALUES ('it''s; -- no comment')",
                                           "INSERT INTO [b;c] VALUES (\"d;e\")"}));
    EXPECT_TRUE(split_sql_script("-- only a comment").empty());
}

struct ToolTest : ::testing::Test {
    TempDir dir;
    RunContext ctx;
    std::string status;
    void SetUp() override { rivola::test::point_diagnostics(ctx, dir); }
};

TEST_F(ToolTest, NewResultsDatabase) {
    std::string file;
    db_new_results(ctx, dir.path(), file, status);
    ASSERT_EQ(std::tie(status, file), std::tuple("ok", dir / "RIVOLA_8_Ergebnisse.mdb"));
    EXPECT_EQ(sqlite(file, "SELECT group_concat(name || ':' || type, ',') FROM "
                           "pragma_table_info('Berechnungsuebersicht');"),
              "Variante:varchar(200),Datum:varchar(50),Beschreibung1:varchar(100),"
              "Beschreibung2:varchar(50),Beschreibung3:varchar(50),"
              "Programmversion:varchar(20),Anh_Erg:varchar(20),Anh_Qve:varchar(20)");
    // an existing results database keeps its rows
    sqlite(file, "INSERT INTO Berechnungsuebersicht (Variante) VALUES ('V1');");
    db_new_results(ctx, dir.str(), file, status);
    EXPECT_EQ(std::tuple(status, sqlite(file, "SELECT Variante FROM Berechnungsuebersicht;")),
              std::tuple("ok", "V1"));
    // also under another case of its name
    TempDir other;
    sqlite(other / "rivola_8_ergebnisse.MDB", "CREATE TABLE x (a integer);");
    db_new_results(ctx, other.path(), file, status);
    EXPECT_EQ(std::tie(status, file), std::tuple("ok", other / "rivola_8_ergebnisse.MDB"));
    EXPECT_EQ(sqlite(file, "SELECT count(*) FROM Berechnungsuebersicht;"), "0");
    EXPECT_FALSE(std::filesystem::exists(other / "RIVOLA_8_Ergebnisse.mdb"));
}

// (That the reader finds every column it reads is a test of the column reference.)
TEST_F(ToolTest, NewVariantColumnTypes) {
    const std::string v = dir / "neu.mdb";
    db_new_variant(ctx, v, status);
    ASSERT_EQ(status, "ok");
    EXPECT_EQ(sqlite(v, "SELECT lower(type) FROM pragma_table_info('tbl_rvldaten') WHERE name='HVE_N';"
                        "SELECT lower(type) FROM pragma_table_info('tbl_all') WHERE name='datum';"),
              "integer\ndate");
    // an existing file is not touched
    const std::string before = read_file(v);
    db_new_variant(ctx, v, status);
    EXPECT_NE(status, "ok");
    EXPECT_EQ(read_file(v), before);
}

TEST_F(ToolTest, LoadScriptReplacesOnlyOnSuccess) {
    const std::string v = dir / "built.mdb";
    const std::string good = dir / "good.sql", bad = dir / "bad.sql";
    std::ofstream(good) << "CREATE TABLE t (a text); INSERT INTO t VALUES ('x;y');\n"
                           "INSERT INTO t VALUES ('z');";
    std::ofstream(bad) << "CREATE TABLE t (a text); INSERT INTO nosuch VALUES (1);";
    db_load_script(ctx, v, good, status);
    ASSERT_EQ(std::tuple(status, sqlite(v, "SELECT group_concat(a, '|') FROM t;")), std::tuple("ok", "x;y|z"));
    // loading again rebuilds the file
    db_load_script(ctx, v, good, status);
    EXPECT_EQ(std::tuple(status, sqlite(v, "SELECT count(*) FROM t;")), std::tuple("ok", "2"));
    // a failing script leaves the built file as it was and no scratch file behind
    const std::string before = read_file(v);
    db_load_script(ctx, v, bad, status);
    EXPECT_EQ(status.rfind("Fehler(DB_load): f90SQLExecDirect", 0), 0u) << status;
    EXPECT_TRUE(holds(status, "2"));   // names the statement
    EXPECT_EQ(read_file(v), before);
    EXPECT_FALSE(std::filesystem::exists(v + ".build"));
    db_load_script(ctx, v, dir / "missing.sql", status);
    EXPECT_NE(status, "ok");
}
