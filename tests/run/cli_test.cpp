// The command-line program, run as a separate process.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "common/test_util.h"

namespace {

using Result = rivola::test::ProgramRun;

Result run_rivola(const std::string& args) { return rivola::test::run_program("", "rivola", args); }

}  // namespace

TEST(CommandLineProgram, MissingVariantAndMissingResultsDatabase) {
    rivola::test::TempDir dir("cli");
    Result r = run_rivola("'" + dir.str() + "NOPE.mdb'");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("existiert nicht"), std::string::npos) << r.out;

    rivola::test::write_file(dir.str() + "V.mdb", "x");
    r = run_rivola("'" + dir.str() + "V.mdb' OUT=ENGL");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("database error"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"RIVOLA_8_Ergebnisse.mdb\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("variant: V.mdb"), std::string::npos) << r.out;

    r = run_rivola("");
    EXPECT_EQ(r.status, 3);
}
