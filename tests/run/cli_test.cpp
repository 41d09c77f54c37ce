// The command-line program, run as a separate process.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/test_util.h"

using Result = rivola::test::ProgramRun;

// A machine where the SQLite ODBC driver is installed but not registered with
// unixODBC (an empty driver configuration): the driver library is found in
// the system's library folders, whatever the processor architecture, and the
// small example plant is computed.
TEST(CommandLineProgram, FindsTheSqliteDriverWithoutItsRegistration) {
    rivola::test::TempDir dir("cli_noreg");
    rivola::test::TempDir ini("cli_noreg_ini");
    const std::string env = "ODBCSYSINI='" + ini.str() + "' ODBCINSTINI=odbcinst.ini";
    const std::string script = std::string(RIVOLA_SOURCE_DIR) + "/examples/kleine_anlage.sql";
    for (const std::string& a : {std::string("new-results ."), std::string("new-variant v.mdb"),
                                 "load v.mdb '" + script + "'"}) {
        const Result r = rivola::test::run_program(dir.str(), "rivola-db", a, env);
        ASSERT_EQ(r.status, 0) << a << "\n" << r.out;
    }
    const Result r = rivola::test::run_program(dir.str(), "rivola", "v.mdb --no-drawing", env);
    EXPECT_LE(r.status, 1) << r.out;
    EXPECT_TRUE(std::filesystem::exists(dir.str() + "v.ERG")) << r.out;
}
