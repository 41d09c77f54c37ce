#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <filesystem>

#include "hydraulics/hyawsp.h"
#include "common/recording_ui.h"
#include "common/test_util.h"
#include "common/variant_db.h"
#include "run/r_rivola.h"

using namespace rivola;
using test::write_file;

// The iteration settings file: the largest number of passes (rounded, at
// least 100, comma or point), the tolerance at divisions (never below
// 0.00005) and the step log (a J from column 9); the first matching row of a
// line wins. Every row starts from values the file must replace.
TEST(IterationSettings, FromTheLinesOfTheFile) {
    const struct {
        const char* text;   // nullptr: no file
        int maxPasses;
        float tolerance;
        int iterLog, iniRead;
    } cases[] = {
        {nullptr, 100, 0.00005f, 0, 0},
        {"max_iterationen = 50\n", 100, 0.00005f, 0, 1},
        {"MAX ITERATIONEN 250.6\n", 251, 0.00005f, 0, 1},
        {"Max. Iterationen: 250,4\n", 250, 0.00005f, 0, 1},
        {"ITERATIONEN MAXIMAL 101\n", 101, 0.00005f, 0, 1},
        {"HEEPS = 0.00001\n", 100, 0.00005f, 0, 1},
        {"heeps = 0,001\n", 100, 0.001f, 0, 1},
        {"HEEPS = 2E-3\n", 100, 0.002f, 0, 1},
        {"PROTOK  J\n", 100, 0.00005f, 1, 1},      // J in column 9
        {"PROTOKJ\n", 100, 0.00005f, 0, 1},        // J in column 7 only
        {"PROTOKOLL = ja\n", 100, 0.00005f, 1, 1},
        {"MAX ITERAT PROTOKOLL J 300\n", 300, 0.00005f, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "no file");
        test::TempDir dir("ini");
        RunContext ctx;
        ctx.run.maxPasses = 7, ctx.run.tolerance = 0.5f, ctx.run.iterLog = 1;
        const std::string file = dir.str() + "RVL_iteration.ini";
        if (c.text) write_file(file, c.text);
        run::read_iteration_settings(ctx, file);
        EXPECT_EQ(std::tie(ctx.run.maxPasses, ctx.run.iterLog, ctx.run.iniRead),
                  std::tuple(c.maxPasses, c.iterLog, c.iniRead));
        EXPECT_FLOAT_EQ(ctx.run.tolerance, c.tolerance);
    }
    // what the configuration dialog writes is read back as written
    for (const auto& [passes, tolerance, log] : {std::tuple{100, 0.00005f, false}, std::tuple{2500, 0.0015f, true}}) {
        test::TempDir dir("ini_write");
        std::string reason;
        ASSERT_TRUE(run::write_iteration_settings(dir.str() + "RVL_iteration.ini", passes, tolerance, log, reason));
        RunContext ctx;
        run::read_iteration_settings(ctx, dir.str() + "RVL_iteration.ini");
        EXPECT_EQ(std::pair(ctx.run.maxPasses, ctx.run.iterLog), std::pair(passes, log ? 1 : 0));
        EXPECT_FLOAT_EQ(ctx.run.tolerance, tolerance);
    }
    std::string reason;
    EXPECT_FALSE(run::write_iteration_settings("/nonexistent/dir/RVL_iteration.ini", 100, 0.00005f, false, reason));
    EXPECT_TRUE(test::holds(reason, "/nonexistent/dir/RVL_iteration.ini"));
}

// Parameters with and without prefix; the final message names the check
// list beside the variant, by error level and language.
TEST(CommandLine, ParametersAndTheFinalMessage) {
    RunContext ctx;
    run::cl_par(ctx, {"/data/plants/Werk A/PLANT.v2.mdb", "sim=n", "-out=engl", "/in_ansi"});
    EXPECT_EQ(std::tie(ctx.run.dbDir, ctx.run.dbName, ctx.run.dbExt, ctx.settings.language),
              std::tuple("/data/plants/Werk A/", "PLANT.v2", ".mdb", "ENGLISH"));
    EXPECT_EQ(std::pair(ctx.run.compute, ctx.run.ansiInput), std::pair('N', 1));
    const std::string list = "/data/plants/Werk A/PLANT.v2.pkl";
    const std::string en[] = {"end of calculation\n" + list, "warnings see: " + list, "abort see: " + list,
                              "abort\n" + list};
    const std::string de[] = {"Berechnungsende\n" + list, "Warnungen siehe: " + list,
                              "Berechnungsabbruch siehe: " + list, "Berechnungsabbruch\n" + list};
    for (int l = 0; l <= 3; ++l) {
        ctx.run.ierr = l, ctx.settings.language = "ENGLISH";
        EXPECT_EQ(run::final_message(ctx), en[l]);
        ctx.settings.language = "DEUTSCH";
        EXPECT_EQ(run::final_message(ctx), de[l]);
    }
    RunContext ctx2;
    run::cl_par(ctx2, {"plant.mdb", "english"});
    EXPECT_EQ(std::tie(ctx2.run.dbDir, ctx2.settings.language, ctx2.run.compute), std::tuple("", "ENGLISH", 'J'));
}

// A file named as the variant that cannot be read as one: the run stops at
// level 3 with a box that names the file (with "/") and says what is wrong
// with it, and the file is left as it was: nothing is added to it.
TEST(RunDriver, BadVariantDatabaseIsToldWithItsCause) {
    const std::string base = test::source_file("tests/checks/variants/base.sql");
    // bytes of no meaning, the same in every run
    auto garbage = [](size_t n) {
        std::string g(n, '\0');
        for (size_t i = 0; i < n; ++i) g[i] = static_cast<char>((i * 37 + 11) % 256);
        return g;
    };
    enum Make { None, Bytes, Script, Spoiled, NoResults };
    struct Case {
        const char* what;
        Make make;
        std::string content;  // the bytes, the SQL script, or the script to spoil
        size_t keep;          // Spoiled: bytes of the file kept before the garbage
        bool english;
        std::vector<std::string> phrases;  // "@" stands for the file's path
    };
    const Case cases[] = {
        {"no file", None, "", 0, true, {"variant database \"@\" does not exist."}},
        {"no results database beside it", NoResults, "", 0, false,
         {"Datenbankfehler|Die Ergebnisdatenbank\n\"RIVOLA_8_Ergebnisse.mdb\"\nexistiert nicht."}},
        {"empty file", Bytes, "", 0, false,
         {"@: keine Variantendatenbank - die Datei ist leer (0 Byte)\n"}},
        {"unrelated SQLite database", Script,
         "CREATE TABLE messwerte (t text, q double); INSERT INTO messwerte VALUES ('x', 1);", 0,
         true, {"@: not a variant database - no table tbl_all, no table tbl_rvldaten\n"}},
        {"elements without base settings", Script,
         "CREATE TABLE tbl_rvldaten (er integer, bez text);", 0, false,
         {"@: keine Variantendatenbank - keine Tabelle tbl_all\n"}},
        {"damaged pages", Spoiled, base, 100, false,
         {"@: die Datei ist beschädigt (database disk image is malformed)\n"}},
        {"garbage behind the header", Spoiled, base, 16, true,
         {"@: the file is damaged (file is not a database)\n"}},
        {"random bytes", Bytes, garbage(4096), 0, false,
         {"@: keine Variantendatenbank - weder eine SQLite- noch eine Access-Datenbank, oder "
          "die Datei ist beschädigt\n"}},
        // the English words of a value out of range
        {"base setting beyond single precision", Script,
         base + "UPDATE tbl_all SET Vmax = -1e300;", 0, true,
         {"Error in database table @/tbl_all:\ntbl_all, Vmax: \"", "\" is out of range\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir("badvar");
        const bool script = c.make == Script || c.make == Spoiled;
        const std::string db = test::loaded_variant(dir, "V", script ? c.content : "CREATE TABLE platz (a);");
        if (c.make == None) std::filesystem::remove(db);
        if (c.make == NoResults) std::filesystem::remove(dir.str() + "RIVOLA_8_Ergebnisse.mdb");
        if (c.make == Bytes) write_file(db, c.content);
        if (c.make == Spoiled) {
            const std::string whole = test::read_file(db);
            ASSERT_GT(whole.size(), c.keep);
            write_file(db, whole.substr(0, c.keep) + garbage(whole.size() - c.keep));
        }
        const bool existed = std::filesystem::exists(db);
        const std::string before = existed ? test::read_file(db) : "";

        test::RecordingUi ui;
        RunContext ctx;
        ctx.ui = &ui, ctx.db.diagFile = dir.str() + "DB_Fehler.pkl", ctx.run.params = {db, "SIM=N"};
        if (c.english) ctx.run.params.push_back("ENGLISH");
        run::r_rivola(ctx, 1);
        EXPECT_EQ(ctx.run.ierr, 3);
        ASSERT_EQ(ui.finales.size(), 1u);
        EXPECT_EQ(ui.finales[0].rfind(c.english ? "abort\n" : "Berechnungsabbruch\n", 0), 0u) << ui.finales[0];
        ASSERT_EQ(ui.boxes.size(), 1u);
        for (std::string p : c.phrases) {
            if (p.find('@') != std::string::npos) p.replace(p.find('@'), 1, db);
            EXPECT_NE(ui.boxes[0].find(p), std::string::npos) << p << "\nnot in\n" << ui.boxes[0];
        }
        EXPECT_EQ(ui.boxes[0].find('\\'), std::string::npos) << ui.boxes[0];
        EXPECT_EQ(std::filesystem::exists(db), existed);
        if (existed) { EXPECT_EQ(test::read_file(db), before); }
    }
}

// The results database beside the variant is found without regard to case.
// A second run of the session ignores the command line and asks for the
// file; a cancel there ends at level 3.
TEST(RunDriver, ResultsDatabaseBesideTheVariantAndTheSecondRunOfASession) {
    test::TempDir dir("resdb");
    write_file(dir.str() + "V.mdb", "x");
    write_file(dir.str() + "rivola_8_ergebnisse.MDB", "x");
    test::RecordingUi ui;
    RunContext found;
    found.ui = &ui, found.run.params = {dir.str() + "V.mdb", "SIM=N"};
    run::initl_rivola(found);
    run::init_variante(found);
    EXPECT_LT(found.run.ierr, 2);
    EXPECT_EQ(found.run.resultsDb, dir.str() + "rivola_8_ergebnisse.MDB");

    RunContext session;
    session.ui = &ui, session.run.params = {dir.str() + "V.mdb", "SIM=N"};
    run::r_rivola(session, 1);
    EXPECT_EQ(std::tie(session.run.callCount, session.run.dbPath), std::tuple(1, dir.str() + "V.mdb"));
    ui.fileToOpen.clear();  // the user cancels the question for the file
    run::r_rivola(session, 1);
    EXPECT_EQ(std::pair(session.run.callCount, session.run.ierr), std::pair(2, 3));
}

// A user who cancels (and confirms) during the walk ends the run at once:
// level 3, the screen log says so, no listing, CSV or result table is written;
// in flow cases one confirmation ends every case.
TEST(RunDriver, CancelDuringTheWalkEndsTheRun) {
    struct CancellingUi : test::RecordingUi {
        int asked = 0, cancelAt = 0;
        bool cancelled() override { return ++asked >= cancelAt; }
    };
    const std::string plant = test::source_file("examples/kleine_anlage.sql");
    const char* cases =
        "CREATE TABLE tbl_lastfaelle (Nr integer, Lastfall varchar(16), Beschreibung text, Faktor double, "
        "Wasserstand double);\n"
        "INSERT INTO tbl_lastfaelle VALUES (1, 'A', NULL, 1.0, NULL);\n"
        "INSERT INTO tbl_lastfaelle VALUES (2, 'B', NULL, 0.8, NULL);\n";
    for (const bool withCases : {false, true}) {
        SCOPED_TRACE(withCases ? "flow cases" : "plain");
        test::TempDir dir("cancel");
        const std::string db = test::loaded_variant(dir, "K", plant + (withCases ? cases : ""));
        CancellingUi ui;
        ui.cancelAt = 1;  // at the first question, before the first pass
        RunContext ctx;
        ctx.ui = &ui, ctx.run.params = {db}, ctx.run.drawing = false;
        run::r_rivola(ctx, 1);
        EXPECT_EQ(ctx.run.ierr, 3);
        EXPECT_EQ(std::count(ui.logs.begin(), ui.logs.end(), "Berechnung abgebrochen"), withCases ? 2 : 1);
        EXPECT_EQ(ui.asked, 1) << "the user is asked once";
        for (const char* f : {"K.ERG", "K.csv", "K_A.ERG", "K_A.csv", "K_B.csv"})
            EXPECT_FALSE(std::filesystem::exists(dir.str() + f)) << f;
    }
}

TEST(ElementReset, ClearsLossesAndRemarksButKeepsBoundaryRemarks) {
    RunContext ctx;
    ctx.plant.resize(2);
    for (int i = 1; i <= 2; ++i) {
        auto& e = ctx.plant.el[i];
        e.HVK = e.HVE1 = e.HVU = 1.0f;
        e.res[1].bem[1] = e.res[2].bem[1] = "gr";
    }
    ctx.cs.bem[3] = "d";
    hyd::setnul(ctx, 1);
    hyd::setnul(ctx, 2);
    const Element &e1 = ctx.plant.el[1], &e2 = ctx.plant.el[2];
    test::expect_floats({e1.HVK, e1.HVE1, e1.HVU, e2.HVK}, {0.0f, 0.0f, 0.0f, 0.0f});
    // the boundary remark of the last element stays
    EXPECT_EQ(e1.res[1].bem[1] + "|" + e2.res[1].bem[1] + "|" + e2.res[2].bem[1] + "|" + ctx.cs.bem[3], "|gr||");
}
