// Genuine Access variant files (tests/input/access/), read through the
// read-only MDBTools driver by the real command-line program: each computes
// to the same CSV file and check list as the same variant built from its
// SQLite script, and the Access file is not changed by the run.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "common/test_util.h"
#include "input/db_tools.h"
#include "run/context.h"

using namespace rivola;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome run_in(const std::string& dir, const std::string& variant) {
    const std::string cmd = "cd '" + dir + "' && '" + std::string(RIVOLA_BINARY_DIR) + "/rivola' --yes '" +
                            variant + "' 2>&1";
    Outcome o;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return o;
    std::array<char, 512> buf{};
    while (fgets(buf.data(), buf.size(), p)) o.out += buf.data();
    const int st = pclose(p);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return o;
}

std::string results_db(const test::TempDir& dir) {
    RunContext tools;
    tools.db.diagFile = dir.str() + "load.pkl";
    std::string status, results;
    input::db_new_results(tools, dir.path().string(), results, status);
    EXPECT_EQ(status, "ok");
    return results;
}

std::string access(const std::string& name) { return std::string(RIVOLA_SOURCE_DIR) + "/tests/input/access/" + name; }

}  // namespace

TEST(AccessVariant, ComputesLikeItsSqliteSourceAndStaysUntouched) {
    const struct {
        const char* name;                 // the variant
        std::vector<std::string> files;   // Access files: the variant, then its components
        std::vector<std::string> scripts; // the SQLite sources
    } cases[] = {
        {"kleine_anlage", {"kleine_anlage.mdb"}, {"kleine_anlage"}},
        {"klaeranlage", {"klaeranlage.mdb", "klaeranlage_C_SANDFANG.mdb"}, {"klaeranlage", "klaeranlage_C_SANDFANG"}},
        // deletion marks 1, -1, 0 and NULL, rows stored against the flow order
        {"klaeranlage",
         {"klaeranlage_deleted_rows.mdb", "klaeranlage_deleted_rows_C_SANDFANG.mdb"},
         {"klaeranlage", "klaeranlage_C_SANDFANG"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files[0]);
        test::TempDir sq("access_sqlite"), ac("access_mdb");
        results_db(sq);
        results_db(ac);
        RunContext tools;
        tools.db.diagFile = sq.str() + "load.pkl";
        std::string status;
        for (const auto& s : c.scripts) {
            input::db_load_script(tools, sq.str() + s + ".mdb", std::string(RIVOLA_SOURCE_DIR) + "/examples/" + s + ".sql",
                                  status);
            ASSERT_EQ(status, "ok") << s;
        }
        // the Access copies under the names the variant and its components carry
        for (size_t k = 0; k < c.files.size(); ++k)
            fs::copy_file(access(c.files[k]), ac.str() + c.scripts[k] + ".mdb");
        const std::string before = test::read_file(ac.str() + c.name + ".mdb");
        const Outcome a = run_in(ac.str(), std::string(c.name) + ".mdb");
        const Outcome s = run_in(sq.str(), std::string(c.name) + ".mdb");
        ASSERT_LT(s.status, 2) << s.out;
        EXPECT_EQ(a.status, s.status) << a.out;
        EXPECT_EQ(test::read_file(ac.str() + c.name + ".csv"), test::read_file(sq.str() + c.name + ".csv"));
        EXPECT_EQ(test::read_file(ac.str() + c.name + ".pkl"), test::read_file(sq.str() + c.name + ".pkl"));
        EXPECT_EQ(test::read_file(ac.str() + c.name + ".ERG"), test::read_file(sq.str() + c.name + ".ERG"));
        EXPECT_EQ(test::read_file(ac.str() + c.name + ".mdb"), before) << "the Access file was written";
        // the driver's parser complaints never reach the user
        EXPECT_EQ(a.out.find("syntax error"), std::string::npos) << a.out;
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
        results_db(dir);
        test::write_file(dir.str() + "V.mdb", c.bytes);
        const Outcome o = run_in(dir.str(), "V.mdb");
        EXPECT_EQ(o.status, 3) << o.out;
        EXPECT_NE(o.out.find("V.mdb"), std::string::npos) << o.out;
        EXPECT_FALSE(fs::exists(dir.str() + "V.ERG"));
    }
}
