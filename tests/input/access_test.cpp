// Genuine Access variant files (tests/input/access/), read through the
// read-only MDBTools driver by the real command-line program: each computes
// to the same CSV file and check list as the same variant built from its
// SQLite script, and the Access file is not changed by the run. Converted
// into SQLite, and exported to spreadsheets and imported back, it computes
// the same again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "common/variant_db.h"
#include "database/m_database.h"

using namespace rivola;
namespace fs = std::filesystem;

namespace {

using Outcome = test::ProgramRun;

Outcome run_in(const std::string& dir, const std::string& variant) {
    return test::run_program(dir, "rivola", "--yes '" + variant + "'");
}

// The Access copy of a test file into `to`; a packed one (.gz) unpacked.
void copy_access(const std::string& from, const std::string& to) {
    if (from.size() > 3 && from.compare(from.size() - 3, 3, ".gz") == 0) {
        ASSERT_EQ(std::system(("gzip -dc '" + from + "' > '" + to + "'").c_str()), 0) << from;
    } else {
        fs::copy_file(from, to);
        fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
    }
}

std::string access(const std::string& name) { return std::string(RIVOLA_SOURCE_DIR) + "/tests/input/access/" + name; }

}  // namespace

TEST(AccessVariant, ComputesLikeItsSqliteSourceAndConvertsToIt) {
    const struct {
        const char* name;                 // the variant
        std::vector<std::string> files;   // Access files: the variant, then its components
        std::vector<std::string> scripts; // the SQLite sources; empty: the stored generated plant
        const char* exportOptions;        // of the spreadsheet export
    } cases[] = {
        {"kleine_anlage", {"kleine_anlage.mdb"}, {"kleine_anlage"}, ""},
        {"klaeranlage", {"klaeranlage.mdb", "klaeranlage_C_SANDFANG.mdb"}, {"klaeranlage", "klaeranlage_C_SANDFANG"},
         " --decimal-comma"},
        // deletion marks 1, -1, 0 and NULL, rows stored against the flow order
        {"klaeranlage",
         {"klaeranlage_deleted_rows.mdb", "klaeranlage_deleted_rows_C_SANDFANG.mdb"},
         {"klaeranlage", "klaeranlage_C_SANDFANG"}, ""},
        // a plant of 2000 elements as the generator wrote it when the copy was made
        {"generated_2000", {"generated_2000.mdb.gz"}, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files[0]);
        test::TempDir sq("access_sqlite"), ac("access_mdb"), cv("access_converted"), im("access_imported");
        for (const test::TempDir* d : {&sq, &ac, &cv, &im}) ASSERT_FALSE(test::new_results(*d).empty());
        std::vector<std::string> names = c.scripts;
        if (names.empty()) {
            const std::string script = sq.str() + "generated.sql";
            copy_access(access("generated_2000.sql.gz"), script);
            test::loaded_variant(sq, c.name, test::read_file(script));
            names = {c.name};
        }
        for (const auto& s : c.scripts) test::loaded_variant(sq, s, test::source_file("examples/" + s + ".sql"));
        // the Access copies under the names the variant and its components carry
        for (size_t k = 0; k < c.files.size(); ++k) copy_access(access(c.files[k]), ac.str() + names[k] + ".mdb");
        const std::string variant = std::string(c.name) + ".mdb";
        const std::string before = test::read_file(ac.str() + variant);
        // the converted SQLite copy, its components beside it under the target's name
        const Outcome conv = test::run_program(ac.str(), "rivola-db", "convert " + variant + " '" + cv.str() + variant + "'");
        ASSERT_EQ(conv.status, 0) << conv.out;
        // spreadsheets of the Access file, read back into a new variant, and
        // spreadsheets of that: the same tables, cell for cell
        const Outcome exp = test::run_program(ac.str(), "rivola-db", "export " + variant + " sheets" + c.exportOptions);
        ASSERT_EQ(exp.status, 0) << exp.out;
        const Outcome imp = test::run_program(im.str(), "rivola-db", "import '" + ac.str() + "sheets' " + variant);
        ASSERT_EQ(imp.status, 0) << imp.out;
        ASSERT_EQ(test::run_program(im.str(), "rivola-db", "export " + variant + " again" + c.exportOptions).status, 0);
        for (const auto& f : fs::recursive_directory_iterator(ac.str() + "sheets")) {
            if (!f.is_regular_file()) continue;
            const std::string rel = fs::relative(f.path(), ac.str() + "sheets").string();
            EXPECT_EQ(test::read_file(im.str() + "again/" + rel), test::read_file(f.path().string())) << rel;
        }
        const Outcome s = run_in(sq.str(), variant);
        ASSERT_LT(s.status, 2) << s.out;
        const std::string csv = test::read_file(sq.str() + c.name + ".csv");
        // the Access file, its SQLite conversion and its import from spreadsheets
        for (const test::TempDir* d : {&ac, &cv, &im}) {
            const Outcome o = run_in(d->str(), variant);
            EXPECT_EQ(o.status, s.status) << o.out;
            EXPECT_EQ(test::read_file(d->str() + c.name + ".csv"), csv) << d->str();
            // nothing of the driver reaches the user's screen
            for (const char* driver : {"syntax error", "mdb_"}) EXPECT_FALSE(test::holds(o.out, driver));
        }
        for (const char* ext : {".pkl", ".ERG"})
            EXPECT_EQ(test::read_file(ac.str() + c.name + ext), test::read_file(sq.str() + c.name + ext)) << ext;
        EXPECT_EQ(test::read_file(ac.str() + variant), before) << "the Access file was written";
        // no diagnostics of the driver are left
        EXPECT_FALSE(fs::exists(ac.str() + "DB_Fehler.pkl"));
    }
}

// A cut or overwritten Access file is told by its cause, with status 3.
TEST(AccessVariant, DamagedFileIsToldNotCrashedOn) {
    const std::string whole = test::read_file(access("kleine_anlage.mdb"));
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated", whole.substr(0, 5000)},
        {"random bytes after the header", whole.substr(0, 4096) + std::string(whole.size() - 4096, '\x5a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir("access_damaged");
        ASSERT_FALSE(test::new_results(dir).empty());
        test::write_file(dir.str() + "V.mdb", c.bytes);
        const Outcome o = run_in(dir.str(), "V.mdb");
        EXPECT_EQ(o.status, 3) << o.out;
        EXPECT_TRUE(test::holds(o.out, "V.mdb: die Access-Datei ist beschädigt oder unvollständig (MDBTools: "));
        EXPECT_FALSE(fs::exists(dir.str() + "V.ERG"));
        // what the driver printed is in the diagnostics, not on the screen
        EXPECT_TRUE(test::holds(test::read_file(dir.str() + "DB_Fehler.pkl"), "Meldung des Treibers MDBTools:"));
        std::istringstream lines(o.out);
        for (std::string line; std::getline(lines, line);) {
            const bool driver = line.find("page") != std::string::npos || line.find("EOF") != std::string::npos;
            EXPECT_TRUE(!driver || line.find("(MDBTools: ") != std::string::npos) << line;
        }
    }
}

// Nothing is written into an Access variant: every writing operation of the
// database layer is refused with a message that says why.
TEST(AccessVariant, WritesAreRefused) {
    test::TempDir dir("access_write");
    const std::string file = dir.str() + "V.mdb";
    copy_access(access("kleine_anlage.mdb"), file);
    const std::string before = test::read_file(file);
    RunContext ctx;
    ctx.db.diagFile = dir.str() + "DB_Fehler.pkl";
    const struct {
        const char* op;
        std::function<void(std::string&)> call;
    } cases[] = {
        {"DB_Create_Table", [&](std::string& st) { input::db_create_table(ctx, file, "neu", "(a integer)", st); }},
        {"DB_Drop_Table", [&](std::string& st) { input::db_drop_table(ctx, file, "tbl_all", st); }},
        {"DB_append_column", [&](std::string& st) { input::db_append_column(ctx, file, "tbl_all", "neu", "Date", st); }},
        {"DB_row_delete_by_char",
         [&](std::string& st) { input::db_row_delete_by_char(ctx, file, "tbl_rvldaten", "bez", "G1", st); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        std::string status;
        c.call(status);
        EXPECT_EQ(status.rfind(std::string("Fehler(") + c.op + "): ", 0), 0u) << status;
        EXPECT_TRUE(
            test::holds(status, "V.mdb: Access-Datei, mit dem Treiber MDBTools nur lesbar - nicht geschrieben"));
        EXPECT_EQ(input::db_connection(ctx), nullptr);
    }
    EXPECT_EQ(test::read_file(file), before);
}

// The converter makes new files only: an existing target is kept unless
// --force, a source is never overwritten, a variant without its component
// or a file that is no variant is refused; nothing half-made is left.
TEST(AccessVariant, ConvertRefusesWhatWouldLoseData) {
    const struct {
        const char* what;
        const char* args;
        bool targetExists;   // a file V.mdb is there before
        int status;
        const char* says;    // part of the message ("" for none)
        bool converted;      // V.mdb is the variant afterwards
    } cases[] = {
        {"new target", "convert A.mdb V.mdb", false, 0, "V_C_SANDFANG.mdb", true},
        {"target exists", "convert A.mdb V.mdb", true, 1, "V.mdb existiert bereits (mit --force überschreiben)", false},
        {"target exists, forced", "convert A.mdb V.mdb --force", true, 0, "", true},
        {"target is the source", "convert A.mdb A.mdb --force", false, 1, "das Ziel ist eine Quelldatei der Umwandlung",
         false},
        {"target is a component of the source", "convert A.mdb A_C_SANDFANG.mdb --force", false, 1,
         "das Ziel ist eine Quelldatei der Umwandlung", false},
        {"component missing", "convert B.mdb V.mdb", false, 1, "Komponente C_SANDFANG der Variante fehlt", false},
        {"no variant", "convert N.mdb V.mdb", false, 1, "keine Variantendatenbank - keine Tabelle tbl_all", false},
        {"wrong command line", "convert A.mdb", false, 2, "usage:", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir("access_convert");
        copy_access(access("klaeranlage.mdb"), dir.str() + "A.mdb");
        copy_access(access("klaeranlage_C_SANDFANG.mdb"), dir.str() + "A_C_SANDFANG.mdb");
        copy_access(access("klaeranlage.mdb"), dir.str() + "B.mdb");
        test::sqlite(dir.str() + "N.mdb", "CREATE TABLE messwerte (t text);");
        const std::string old = "an earlier file";
        if (c.targetExists) test::write_file(dir.str() + "V.mdb", old);
        const std::string source = test::read_file(dir.str() + "A.mdb");
        const Outcome o = test::run_program(dir.str(), "rivola-db", c.args);
        EXPECT_EQ(o.status, c.status) << o.out;
        EXPECT_TRUE(test::holds(o.out, c.says));   // "" is held by any text
        EXPECT_EQ(test::read_file(dir.str() + "A.mdb"), source);
        if (c.converted) {
            RunContext ctx;
            ctx.db.diagFile = dir.str() + "read.pkl";
            input::DbTable t;
            std::string status;
            input::db_read_table(ctx, dir.str() + "V.mdb", "tbl_rvldaten", "bez", status, t);
            EXPECT_EQ(std::tie(status, t.nrow), std::tuple("ok", 33));
            EXPECT_TRUE(fs::exists(dir.str() + "V_C_SANDFANG.mdb"));
        } else if (c.targetExists) {
            EXPECT_EQ(test::read_file(dir.str() + "V.mdb"), old);
        } else {
            EXPECT_FALSE(fs::exists(dir.str() + "V.mdb"));
        }
        for (const auto& e : fs::directory_iterator(dir.path()))
            EXPECT_EQ(e.path().string().find(".build"), std::string::npos) << e.path();
    }
}
