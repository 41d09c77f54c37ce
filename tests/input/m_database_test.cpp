// The database access layer against real SQLite files through unixODBC.
#include <gtest/gtest.h>

#include "database/m_database.h"

#include <sys/stat.h>

#include "common/variant_db.h"

using namespace rivola;
using namespace rivola::input;
using namespace rivola::test;

namespace {

struct DbTest : ::testing::Test {
    TempDir dir;
    RunContext ctx;
    std::string status;
    std::string db;
    void SetUp() override {
        rivola::test::point_diagnostics(ctx, dir);
        db = dir / "plant.mdb";
        sqlite(db, "CREATE TABLE t (name text, val double);"
                   "INSERT INTO t VALUES ('a', 1.5);"
                   "INSERT INTO t VALUES ('b', NULL);"
                   "INSERT INTO t VALUES (NULL, 3.25);");
    }
    std::string diag() const { return read_file(dir / "DB_Fehler.pkl"); }
    bool diagWritten() const { return std::filesystem::exists(dir / "DB_Fehler.pkl"); }
};

}  // namespace

TEST_F(DbTest, OpenCloseAndAMissingFile) {
    db_open(ctx, dir / "plant", status);           // a name without extension opens the .mdb file
    ASSERT_EQ(status, "ok");
    EXPECT_EQ(std::tie(ctx.db.name, ctx.db.exists, ctx.db.kind), std::tuple(db, 1, DbKind::SQLite));
    EXPECT_NE(db_connection(ctx), nullptr);
    // column names without regard to case
    EXPECT_EQ(std::tuple(db_exists_column(ctx, "t", "VAL"), db_exists_column(ctx, "T", "name"),
                         db_exists_column(ctx, "t", "other")), std::tuple(1, 1, 0));
    db_close(ctx, status);
    EXPECT_EQ(std::tuple(status, db_connection(ctx), ctx.db.exists), std::tuple("ok", nullptr, 0));
    db_close(ctx, status);                              // a second close does nothing
    EXPECT_EQ(status, "ok");
    EXPECT_FALSE(diagWritten());
    // the file is found without regard to the case of its name
    db_open(ctx, dir / "PLANT.MDB", status);
    EXPECT_EQ(status, "ok");
    db_close(ctx);
    // an empty file is an empty database
    const std::string e = dir / "leer.mdb";
    std::ofstream(e).close();
    int n = -1;
    db_table_n_row(ctx, e, "SELECT name FROM sqlite_master", n, status);
    EXPECT_EQ(std::tuple(status, n), std::tuple("ok", 0));
    // a missing file: told without an ODBC call, no handle allocated
    db_open(ctx, dir / "nothere.mdb", status);
    EXPECT_EQ(status, "Die Datenbank " + (dir / "nothere.mdb") + " existiert nicht!");
    EXPECT_EQ(std::tuple(ctx.db.exists, ctx.db.henv), std::tuple(0, nullptr));
    db_close(ctx, status);
    EXPECT_EQ(status, "ok");
    db_init_language(ctx, "US");
    db_open(ctx, dir / "nothere", status);
    EXPECT_EQ(status, "Database " + (dir / "nothere.mdb") + " does not exist!");
    EXPECT_EQ(ctx.db.abortText, "\nsee: DB_Fehler.pkl\nabort!");
    // a new SQLite file
    const std::string f = dir / "neu.mdb";
    db_create_file(ctx, f, status);
    ASSERT_EQ(std::tuple(status, read_file(f).substr(0, 15)), std::tuple("ok", "SQLite format 3"));
    db_create_table(ctx, f, "x", "(a integer, b text)", status);
    EXPECT_EQ(status, "ok");
    // an existing file is left alone
    db_create_file(ctx, f, status);
    EXPECT_EQ(std::tuple(status, sqlite(f, "SELECT count(*) FROM x;")), std::tuple("ok", "0"));
    // a table that exists: its state, which is no failure
    db_create_table(ctx, f, "x", "(a integer)", status);
    EXPECT_EQ(std::tuple(status, db_connection(ctx), diagWritten()), std::tuple("42S01", nullptr, false));
    // a run context that goes releases its connection
    {
        RunContext other;
        rivola::test::point_diagnostics(other, dir);
        db_open(other, db, status);
        ASSERT_EQ(status, "ok");
    }
    // no file descriptor of the process still holds the database
    const auto file = std::filesystem::canonical(db);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        EXPECT_NE(std::filesystem::read_symlink(fd.path(), ec), file);
    }
}

TEST_F(DbTest, FileThatIsNoDatabaseIsRefused) {
    std::ofstream(dir / "junk.mdb") << "this is a text file, not a database\n";
    // "a;b/plant.mdb" would reach the driver as the database "a"
    std::filesystem::create_directories(dir / "a;b");
    std::filesystem::copy_file(db, dir / "a;b/plant.mdb");
    sqlite(dir / "a", "CREATE TABLE other (x integer);");
    for (const std::string& f : {dir / "junk.mdb", dir / "a;b/plant.mdb"}) {
        db_open(ctx, f, status);
        EXPECT_EQ(status.rfind("Fehler(DB_open): f90SQLDriverConnect", 0), 0u) << status;
        EXPECT_EQ(std::tuple(ctx.db.exists, ctx.db.hdbc), std::tuple(0, nullptr));
    }
    EXPECT_TRUE(holds(diag(), "Fehler(DB_open): f90SQLDriverConnect"));
    db_create_file(ctx, dir / "a;b/new.mdb", status);
    EXPECT_NE(status, "ok");
    EXPECT_FALSE(std::filesystem::exists(dir / "a;b/new.mdb"));
}

// One file: tables listed and found, rows counted, a column appended, the
// whole table read, a table dropped, rows deleted by a text key.
TEST_F(DbTest, QueriesAndChangesOfOneFile) {
    sqlite(db, "CREATE TABLE ERG_V1 (x integer); CREATE TABLE leer (x integer);");
    std::string list;
    db_show_tables(ctx, db, list, status);
    ASSERT_EQ(status, "ok");
    // the header, then one table a line in the driver's order
    EXPECT_EQ(list.rfind("Tabellenverzeichnis: " + db + "\r\n", 0), 0u) << list;
    for (const char* t : {"\r\nERG_V1", "\r\nt", "\r\nleer"}) EXPECT_NE(list.find(t), std::string::npos) << list;
    EXPECT_EQ(list.size(), ("Tabellenverzeichnis: " + db + "\r\nERG_V1\r\nt\r\nleer").size()) << list;
    // found without regard to case, whole names only
    for (const auto& [table, found] : {std::pair{"erg_v1", 1}, {"t", 1}, {"ERG_V", 0}, {"Tabellenverzeichnis:", 0}})
        EXPECT_EQ(db_exists_table(ctx, db, table, status), found) << table;
    for (const auto& [where, rows] : {std::pair{"", 3}, {" WHERE val > 1.0 OR val IS NULL", 3}, {" WHERE val > 2.0", 1}}) {
        int n = -1;
        db_table_n_row(ctx, db, std::string("SELECT name FROM t") + where, n, status);
        EXPECT_EQ(std::tuple(status, n), std::tuple("ok", rows)) << where;
    }
    DbTable t;
    db_read_table(ctx, db, "t", "", status, t);
    ASSERT_EQ(std::tie(status, t.nrow, t.ncol), std::tuple("ok", 3, 2));
    EXPECT_EQ(t.colName[1] + t.colName[2], "nameval");
    EXPECT_EQ(t.colType[2], SQL_DOUBLE);
    EXPECT_EQ(t.v[1][1] + "|" + t.v[1][2] + "|" + t.v[3][2], "a|1.5|3.25");
    EXPECT_TRUE(t.isNull[2][2] && t.isNull[3][1]);
    // listed columns in the listed order
    db_read_table(ctx, db, "t", "val, name", status, t);
    ASSERT_EQ(std::tie(status, t.ncol), std::tuple("ok", 2));
    EXPECT_EQ(t.colName[1] + "|" + t.v[1][2], "val|a");
    db_read_table(ctx, db, "leer", "", status, t);
    EXPECT_EQ(std::tuple(status, t.nrow), std::tuple("no data", 0));
    // a column is appended once (also when asked in another case); a missing
    // table is not dropped: no second ALTER, no DROP, nothing in the diagnostics
    db_append_column(ctx, db, "t", "datum", "Date", status);
    EXPECT_EQ(status, "ok");
    EXPECT_TRUE(holds(sqlite(db, "PRAGMA table_info(t);"), "|datum|Date|"));
    db_append_column(ctx, db, "t", "DATUM", "Date", status);
    EXPECT_EQ(status, "ok");
    db_drop_table(ctx, db, "fehlt", status);
    EXPECT_EQ(std::tuple(status, diagWritten()), std::tuple("ok", false));
    db_drop_table(ctx, db, "T", status);
    EXPECT_EQ(status, "ok");
    EXPECT_EQ(sqlite(db, "SELECT count(*) FROM sqlite_master WHERE name='t';"), "0");
    // failures keep their own texts; a missing database is no "ok"
    int n = -1;
    db_table_n_row(ctx, db, "SELECT name FROM nosuch", n, status);
    EXPECT_EQ(std::tuple(status, n), std::tuple("Fehler(DB_table_n_row): f90SQLExecDirect", 0));
    db_append_column(ctx, db, "nosuch", "datum", "Date", status);
    EXPECT_EQ(status, "Fehler(DB_append_column): f90SQLExecDirect DB=" + db + "  Table=nosuch  Column=datum");
    db_drop_table(ctx, dir / "nothere.mdb", "t", status);
    EXPECT_NE(status, "ok");
    // rows deleted by a text key: 35 rows (four blocks of ten); every third
    // row belongs to variant "V1", rows of "V1_LANGER_NAME" and "V10" share
    // its beginning and must stay.
    std::string sql = "CREATE TABLE Berechnungsuebersicht (Variante text, Datum text);";
    for (int i = 0; i < 35; ++i)
        sql += std::string("INSERT INTO Berechnungsuebersicht VALUES ('") +
               (i % 3 == 0 ? "V1" : (i % 3 == 1 ? "V1_LANGER_NAME" : "V10")) + "', '" + std::to_string(i) + "');";
    sqlite(db, sql);
    ASSERT_EQ(sqlite(db, "SELECT count(*) FROM Berechnungsuebersicht WHERE Variante='V1';"), "12");
    db_row_delete_by_char(ctx, db, "Berechnungsuebersicht", "Variante ", "V1", status);
    EXPECT_EQ(status, "ok");
    EXPECT_EQ(sqlite(db, "SELECT count(*) FROM Berechnungsuebersicht WHERE Variante='V1';"
                         "SELECT count(*) FROM Berechnungsuebersicht;"),
              "0\n23");   // 35 - 12 kept
    // a key longer than 15 characters deletes exactly its own rows
    db_row_delete_by_char(ctx, db, "Berechnungsuebersicht", "Variante", "V1_LANGER_NAME", status);
    EXPECT_EQ(status, "ok");
    EXPECT_EQ(sqlite(db, "SELECT DISTINCT Variante FROM Berechnungsuebersicht;"), "V10");
    db_row_delete_by_char(ctx, db, "nosuch", "Variante", "V1", status);
    EXPECT_EQ(status, "Fehler(DB_bwk): f90SQLExecDirect");
}

// A failing statement gets the caller's text; its diagnostics are appended
// to the file, which a new run context starts again.
TEST_F(DbTest, FailingStatementsAndTheirDiagnostics) {
    // no connection open: no statement can be had
    status = "ok";
    db_exec(ctx, "SELECT 1", status, "Fehler(Probe): f90SQLAllocHandle");
    EXPECT_EQ(status, "Fehler(Probe): f90SQLAllocHandle");
    EXPECT_TRUE(holds(diag(), "Fehler(Probe): f90SQLAllocHandle"));
    db_open(ctx, db, status);
    ASSERT_EQ(status, "ok");
    db_exec(ctx, "SELECT name FROM t", status, "Fehler(Probe): f90SQLExecDirect");
    EXPECT_EQ(status, "ok");
    db_exec(ctx, "SELECT name FROM fehlt", status, "Fehler(Probe): f90SQLExecDirect");
    EXPECT_EQ(status, "Fehler(Probe): f90SQLExecDirect");
    EXPECT_TRUE(holds(diag(), "no such table: fehlt"));
    db_close(ctx);
    int n = 0;
    db_table_n_row(ctx, db, "SELECT a FROM erste_fehlt", n, status);
    db_table_n_row(ctx, db, "SELECT a FROM zweite_fehlt", n, status);
    const std::string d = diag();
    const size_t first = d.find("erste_fehlt"), second = d.find("zweite_fehlt");
    ASSERT_NE(second, std::string::npos) << d;
    EXPECT_TRUE(d.find("no such table: fehlt") < first && first < second) << d;   // appended, in order
    EXPECT_TRUE(holds(d, "SQLSTATE="));
    // a new run context starts the file again
    RunContext other;
    rivola::test::point_diagnostics(other, dir);
    db_table_n_row(other, db, "SELECT a FROM dritte_fehlt", n, status);
    EXPECT_FALSE(holds(diag(), "erste_fehlt"));
    EXPECT_TRUE(holds(diag(), "dritte_fehlt"));
    // a read-only file is read but not written
    ASSERT_EQ(::chmod(db.c_str(), 0444), 0);
    const std::string before = read_file(db);
    db_append_column(ctx, db, "t", "datum", "Date", status);
    EXPECT_EQ(status.rfind("Fehler(DB_append_column): f90SQLExecDirect", 0), 0u) << status;
    n = 0;
    db_table_n_row(ctx, db, "SELECT name FROM t", n, status);   // reading works
    EXPECT_EQ(std::tuple(status, n), std::tuple("ok", 3));
    EXPECT_EQ(read_file(db), before);
}
