// The command-line program, run as a separate process.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/test_util.h"

namespace test = rivola::test;
using Result = test::ProgramRun;

// A machine where the SQLite ODBC driver is installed but not registered with
// unixODBC (an empty driver configuration): the driver library is found in
// the system's library folders, whatever the processor architecture, and the
// small example plant is computed.
TEST(CommandLineProgram, FindsTheSqliteDriverWithoutItsRegistration) {
    test::TempDir dir("cli_noreg");
    test::TempDir ini("cli_noreg_ini");
    const std::string env = "ODBCSYSINI='" + ini.str() + "' ODBCINSTINI=odbcinst.ini";
    const std::string script = std::string(RIVOLA_SOURCE_DIR) + "/examples/kleine_anlage.sql";
    for (const std::string& a : {std::string("new-results ."), std::string("new-variant v.mdb"),
                                 "load v.mdb '" + script + "'"}) {
        const Result r = test::run_program(dir.str(), "rivola-db", a, env);
        ASSERT_EQ(r.status, 0) << a << "\n" << r.out;
    }
    const Result r = test::run_program(dir.str(), "rivola", "v.mdb --no-drawing", env);
    EXPECT_LE(r.status, 1) << r.out;
    EXPECT_TRUE(std::filesystem::exists(dir.str() + "v.ERG")) << r.out;
}

// The command line as the user types it: help and version, an option the
// program does not know (refused with the usage, no run, no file named after
// it), and a quiet run of the small example plant, whose screen log leaves
// out the element lines but not the end of the run.
TEST(CommandLineProgram, HelpVersionUnknownOptionsAndQuietRuns) {
    test::TempDir dir("cli_options");
    const std::string script = std::string(RIVOLA_SOURCE_DIR) + "/examples/kleine_anlage.sql";
    for (const std::string& a : {std::string("new-results ."), "load v.mdb '" + script + "'"})
        ASSERT_EQ(test::run_program(dir.str(), "rivola-db", a).status, 0) << a;
    const struct {
        const char* args;
        int status;
        std::vector<std::string> shown, notShown;
    } cases[] = {
        {"--help", 0, {"SIM=N", "OUT=ENGL", "IN_ANSI", "ENGLISH", "--quiet", "--db-wait=SECONDS", "Exit status"}, {}},
        {"--version", 0, {"rivola 8.03\n"}, {"usage"}},
        {"--bogus v.mdb", 3, {"unknown option \"--bogus\"", "usage: rivola VARIANT.mdb"}, {"Berechnungsende"}},
        {"v.mdb --no-drawing", 0, {"Q=", "Berechnungsende"}, {}},
        {"v.mdb --quiet --no-drawing", 0, {"Berechnungsende"}, {"Q="}},
        {"v.mdb --ENGLISH --quiet --no-drawing", 0, {"end of calculation"}, {"Q=", "unknown option"}},
        {"v.mdb --sheet=A2", 3, {"--sheet takes A1, A3 or A4, not \"A2\""}, {"Berechnungsende"}},
        {"v.mdb --threads=0", 3, {"--threads needs a number of threads from 1 to 256, not \"0\""}, {"Berechnungsende"}},
        {"v.mdb --sheet=a4 --quiet", 0, {"v_profile.pdf", "v_profile_001.svg"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = test::run_program(dir.str(), "rivola", c.args);
        EXPECT_EQ(r.status, c.status) << r.out;
        for (const std::string& s : c.shown) EXPECT_TRUE(test::holds(r.out, s));
        for (const std::string& s : c.notShown) EXPECT_FALSE(test::holds(r.out, s)) << s << "\n" << r.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "--bogus.pkl"));
    // the last run drew its sheets on A4
    EXPECT_TRUE(test::holds(test::read_file(dir.str() + "v_profile.pdf"), "/MediaBox [0 0 841.89 595.28]"));
}

// The column reference on the command line: the columns of one element
// type, with the ones it needs marked; an unknown type is refused; the help
// pages; a new variant from the template.
TEST(CommandLineProgram, ColumnReferenceOfAnElementType) {
    test::TempDir dir("cli_columns");
    const Result weir = test::run_program(dir.str(), "rivola-db", "columns U --english");
    EXPECT_EQ(weir.status, 0) << weir.out;
    for (const char* shown : {"HVE_mue", "HVE_n_c", "GEO_ZO1", "HVE_T", "[required]"})
        EXPECT_TRUE(test::holds(weir.out, shown));
    for (const char* notShown : {"GEO_L ", "GEO_ZU1", "HVE_HVE", "Titel"})
        EXPECT_EQ(weir.out.find(notShown), std::string::npos) << notShown << "\n" << weir.out;
    EXPECT_EQ(test::run_program(dir.str(), "rivola-db", "columns X").status, 2);
    ASSERT_EQ(test::run_program(dir.str(), "rivola-db", "help-pages .").status, 0);
    EXPECT_TRUE(test::holds(test::read_file(dir.str() + "RIVOLAW_typen_en.html"), "RIVOLAW_typ_U_en.html"));
    EXPECT_TRUE(test::holds(test::read_file(dir.str() + "RIVOLAW_typ_U.html"), "Überfall"));
    // the template of a new variant computes without a message
    for (const char* a : {"new-results .", "new-variant t.mdb --template"})
        ASSERT_EQ(test::run_program(dir.str(), "rivola-db", a).status, 0) << a;
    const Result t = test::run_program(dir.str(), "rivola", "t.mdb --no-drawing --quiet");
    EXPECT_EQ(t.status, 0) << t.out;
}
