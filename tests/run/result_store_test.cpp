// The results of a run under attack, through the real command-line program
// on real SQLite files: a file-size limit, a locked or foreign results
// database, a kill in the middle of the store, variant names that cannot name
// tables, several runs at once. Whatever happens, the exit status and the
// check list tell the truth, every result file is complete or absent, and the
// results database holds all of the old or all of the new results.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "common/variant_db.h"

namespace fs = std::filesystem;
namespace test = rivola::test;

namespace {

// The result files of a variant that a computing run writes.
const char* const kResultFiles[] = {".ERG", ".ERK", ".QVE", ".EEF", ".csv", "_profile.svg", ".EIN", "_plot.csv"};

struct Child { pid_t pid = -1; int out = -1; };   // out: read end of its standard output and error
struct Outcome { int status = -1, signal = 0; std::string out; };   // status -1 when ended by `signal`

// Starts `rivola args` in `dir`. fileLimit > 0: the child may write no file
// beyond that many bytes (and ignores SIGXFSZ, so writes fail with EFBIG).
// killAt: the store point at which the child kills itself.
Child start(const std::string& dir, const std::vector<std::string>& args, long fileLimit = 0,
            const char* killAt = nullptr) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[0]);
        close(fds[1]);
        if (chdir(dir.c_str()) != 0) _exit(120);
        if (killAt) setenv("RIVOLA_TEST_KILL_AT", killAt, 1);
        if (fileLimit > 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit lim{static_cast<rlim_t>(fileLimit), static_cast<rlim_t>(fileLimit)};
            setrlimit(RLIMIT_FSIZE, &lim);
        }
        const std::string exe = std::string(RIVOLA_BINARY_DIR) + "/rivola";
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(121);
    }
    close(fds[1]);
    return {pid, fds[0]};
}

Outcome finish(const Child& c) {
    Outcome o;
    char buf[4096];
    for (ssize_t n; (n = read(c.out, buf, sizeof buf)) > 0;) o.out.append(buf, static_cast<size_t>(n));
    close(c.out);
    int st = 0;
    waitpid(c.pid, &st, 0);
    if (WIFEXITED(st)) o.status = WEXITSTATUS(st);
    if (WIFSIGNALED(st)) o.signal = WTERMSIG(st);
    return o;
}

Outcome run_rivola(const std::string& dir, const std::vector<std::string>& args, long limit = 0, const char* at = nullptr) {
    return finish(start(dir, args, limit, at));
}

using test::holds;

// A project directory: an empty results database and variants loaded from
// an example script.
struct Project {
    test::TempDir dir{"store"};
    std::string results = dir.str() + "RIVOLA_8_Ergebnisse.mdb";
    std::string path(const std::string& name) const { return dir.str() + name; }
    // Loads the plant `script` (examples/ or the kept test plants) as variant `name`.
    void variant(const std::string& name, const std::string& script = "examples/kleine_anlage.sql") {
        test::loaded_variant(dir, name, test::source_file(script));
    }
    std::string q(const std::string& sql) const { return test::sqlite(results, ".mode list\n" + sql); }
    void vq(const std::string& name, const std::string& sql) const { test::sqlite(path(name + ".mdb"), sql); }
    // The variant's results in the database: overview row, element and discharge tables.
    std::string stored(const std::string& v) const {
        return q("SELECT Variante, Datum FROM Berechnungsuebersicht WHERE Variante='" + v + "';"
                 "SELECT count(*), round(sum(Q),4) FROM \"ERG_" + v + "\";"
                 "SELECT count(*), round(sum(Q_ZA1),4) FROM \"QVE_" + v + "\";");
    }
    std::map<std::string, std::string> files(const std::string& v) const {
        std::map<std::string, std::string> m;
        for (const char* ext : kResultFiles)
            if (fs::exists(path(v + ext))) m[ext] = test::read_file(path(v + ext));
        return m;
    }
    // Temporary files that a failed or killed writer might have left.
    int leftovers() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind(".", 0) == 0) ++n;
        return n;
    }
};

}  // namespace

// A file-size limit cuts every file that grows past it: each result file is
// then either complete (as an unlimited run writes it) or absent, the results
// database keeps the earlier results, and the run ends with status 3.
TEST(ResultStore, FileSizeLimitLeavesEveryFileCompleteOrAbsent) {
    Project p;
    p.variant("V", "tests/output/golden/zwei_stufen.sql");
    const Outcome first = run_rivola(p.dir.str(), {"V.mdb", "OUT=ENGL"});
    ASSERT_LT(first.status, 2) << first.out;
    const auto complete = p.files("V");
    ASSERT_EQ(complete.size(), 8u);
    const std::string before = p.stored("V");
    // 12 kB: the listings of pumps and divisions fit, the result listing, the
    // drawing and the results database (28 kB) do not.
    const Outcome cut = run_rivola(p.dir.str(), {"V.mdb", "OUT=ENGL"}, 12 * 1024);
    EXPECT_EQ(cut.status, 3) << cut.out;
    for (const char* told : {"File too large", "The results were not (all) stored."})
        EXPECT_TRUE(holds(cut.out, told));
    const auto after = p.files("V");
    for (const auto& [ext, text] : after) EXPECT_EQ(text, complete.at(ext)) << ext << " is cut";
    for (const char* big : {".ERG", "_profile.svg", ".EIN"}) EXPECT_EQ(after.count(big), 0u) << big;
    EXPECT_EQ(std::pair(after.count(".EEF"), p.leftovers()), std::pair(size_t{1}, 0));
    const std::string list = test::read_file(p.path("V.pkl"));
    for (const char* part :
         {"D01 result not stored", "V_profile.svg", "File too large", "D02 file of an earlier run removed"})
        EXPECT_TRUE(holds(list, part));
    EXPECT_EQ(std::pair(p.q("PRAGMA integrity_check;"), p.stored("V")), std::pair(std::string("ok"), before));
}

// A results database that cannot take the results: the cause in the driver's
// own words on the screen and in the check list, status 3; a lock that ends
// within the waiting time is waited for, and the results are stored.
TEST(ResultStore, LockedOrForeignResultsDatabaseIsToldOrWaitedFor) {
    const struct {
        const char* attack;
        int hold;             // another program locks the database: -1 throughout, 1 until the run waits
        const char* wait;     // --db-wait
        int status;
        const char* told;     // in the screen log
    } cases[] = {
        {"lock released in time", 1, "--db-wait=20", 0, "waiting for the results database"},
        {"lock held too long", -1, "--db-wait=1", 3, "database is locked"},
        {"not a database", 0, "--db-wait=1", 3, "not a database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attack);
        Project p;
        p.variant("V");
        if (c.hold == 0) test::write_file(p.results, "Dies ist keine Datenbank, sondern ein Brief.\n");
        FILE* holder = nullptr;
        if (c.hold != 0) {
            // "e": the runs started below must not inherit the holder's input
            holder = popen(("sqlite3 '" + p.results + "' >/dev/null").c_str(), "we");
            ASSERT_NE(holder, nullptr);
            std::fputs("BEGIN EXCLUSIVE;\nSELECT 1;\n", holder);
            std::fflush(holder);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        const auto t0 = std::chrono::steady_clock::now();
        const Child run = start(p.dir.str(), {"V.mdb", "OUT=ENGL", c.wait});
        std::string early;  // what the run said before the lock went
        if (c.hold > 0) {
            // released as soon as the run says it waits, however slow the machine
            char buf[4096];
            for (ssize_t n; !holds(early, c.told) && (n = read(run.out, buf, sizeof buf)) > 0;)
                early.append(buf, static_cast<size_t>(n));
            pclose(holder);
        }
        Outcome o = finish(run);
        o.out = early + o.out;
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (c.hold < 0) pclose(holder);
        EXPECT_EQ(o.status, c.status) << o.out;
        EXPECT_TRUE(holds(o.out, c.told));
        if (c.status == 3) {
            const std::string list = test::read_file(p.path("V.pkl"));
            for (const char* part : {"D01 result not stored", c.told}) EXPECT_TRUE(holds(list, part));
            EXPECT_TRUE(holds(o.out, "The results were not (all) stored."));
            EXPECT_LT(took, 15.0);   // the waiting time is kept
        } else {
            // one table row per line of the CSV file
            const auto csv = test::read_lines(p.path("V.csv"));
            EXPECT_EQ(p.q("SELECT count(*) FROM ERG_V;"), std::to_string(csv.size() - 1));
        }
        // the listings of the run are complete either way
        EXPECT_TRUE(holds(test::read_file(p.path("V.ERG")), "RIVOLA"));
    }
}

// Four variants computed at the same moment in one directory all store
// their results. A kill at any point of the store after that leaves the
// results database sound and with all of the old results of the variant; the
// others are untouched. The run after it stores all of the new results.
TEST(ResultStore, RunsAtOnceAndKillsDuringTheStoreLeaveAllOldOrAllNewResults) {
    Project p;
    const std::vector<std::string> names = {"A", "B", "C", "D"};
    for (const auto& n : names) p.variant(n, "tests/output/golden/zwei_stufen.sql");
    std::vector<Child> runs;
    for (const auto& n : names) runs.push_back(start(p.dir.str(), {n + ".mdb"}));
    for (size_t i = 0; i < runs.size(); ++i) {
        const Outcome o = finish(runs[i]);
        ASSERT_LT(o.status, 2) << names[i] << "\n" << o.out;
    }
    EXPECT_EQ(p.q("SELECT group_concat(Variante) FROM (SELECT Variante FROM Berechnungsuebersicht ORDER BY 1);"),
              "A,B,C,D");
    for (const auto& n : names) EXPECT_EQ(p.stored(n), p.stored("A").replace(0, 1, n)) << n;
    const std::string oldA = p.stored("A"), oldB = p.stored("B"), oldCsv = test::read_file(p.path("A.csv"));
    // the new run: another date and a fifth more discharge
    p.vq("A", "UPDATE tbl_all SET datum='2025-06-30'; UPDATE tbl_rvldaten SET Q = Q * 1.2 WHERE bez = 'Q1';");
    for (const char* at : {"overview", "erg", "qve", "commit"}) {
        SCOPED_TRACE(at);
        const Outcome o = run_rivola(p.dir.str(), {"A.mdb"}, 0, at);
        ASSERT_EQ(o.signal, SIGKILL) << o.out;
        EXPECT_EQ(std::tuple(p.q("PRAGMA integrity_check;"), p.stored("A"), p.stored("B")),
                  std::tuple(std::string("ok"), oldA, oldB));
        // the CSV file is written before the store: complete, old or new
        const std::string csv = test::read_file(p.path("A.csv"));
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), std::count(oldCsv.begin(), oldCsv.end(), '\n'));
    }
    const Outcome o = run_rivola(p.dir.str(), {"A.mdb"});
    ASSERT_LT(o.status, 2) << o.out;
    EXPECT_NE(p.stored("A"), oldA);
    EXPECT_TRUE(holds(p.stored("A"), "A|30.06.2025"));
    EXPECT_EQ(p.stored("B"), oldB);
}

// A variant that is not computed keeps no result file. Names that cannot
// name result tables safely are refused before anything is computed: status
// 3, the reason in the check list, no result file and no table written. A
// check-only run and a run that ends with errors remove the result listing,
// CSV file and drawing of an earlier run, and say so.
TEST(ResultStore, UnsafeNamesCheckOnlyAndFailedRunsLeaveNoResults) {
    Project p;
    p.variant("Anlage");
    ASSERT_LT(run_rivola(p.dir.str(), {"Anlage.mdb"}).status, 2);
    const std::string tables = p.q("SELECT group_concat(name) FROM sqlite_master;");
    const std::string anlage = p.stored("Anlage");
    const struct {
        std::string name, reason;
    } names[] = {
        {"ANLAGE", "D04"},   // the same tables without regard to case
        {"anlage", "variant Anlage"},
        {"it's", "the character '"},
        {"a]b", "the character ]"},
        {"a[b", "the character ["},
        {"a$b", "the character $"},
        {"x\" --", "the character \""},
        {"zeile\nzwei", "a control character (code 10)"},
        {"abc ", "a leading or trailing blank"},
        {" abc", "a leading or trailing blank"},
        {std::string(201, 'n'), "201 characters, more than 200"},
    };
    for (const auto& c : names) {
        SCOPED_TRACE(c.name);
        fs::copy_file(p.path("Anlage.mdb"), p.path(c.name + ".mdb"), fs::copy_options::overwrite_existing);
        const Outcome o = run_rivola(p.dir.str(), {c.name + ".mdb", "OUT=ENGL"});
        EXPECT_EQ(o.status, 3) << o.out;
        const std::string list = test::read_file(p.path(c.name + ".pkl"));
        for (const std::string& part : {c.reason, std::string("The variant is not computed.")})
            EXPECT_TRUE(holds(list, part));
        EXPECT_TRUE(p.files(c.name).empty());
        EXPECT_EQ(std::pair(p.q("SELECT group_concat(name) FROM sqlite_master;"), p.stored("Anlage")),
                  std::pair(tables, anlage));
        fs::remove(p.path(c.name + ".mdb"));
    }
    const struct {
        const char* run;
        std::vector<std::string> args;
        const char* sql;   // what makes the variant fail
        int status;
    } runs[] = {
        {"check only", {"Anlage.mdb", "SIM=N"}, "", 0},
        {"errors in the input", {"Anlage.mdb"}, "UPDATE tbl_rvldaten SET GEO_L = -20 WHERE bez = 'G1';", 2},
    };
    for (const auto& c : runs) {
        SCOPED_TRACE(c.run);
        ASSERT_LT(run_rivola(p.dir.str(), {"Anlage.mdb"}).status, 2);
        ASSERT_EQ(p.files("Anlage").size(), 6u);   // no .ERK, and no .QVE without divisions
        if (*c.sql) p.vq("Anlage", c.sql);
        const Outcome o = run_rivola(p.dir.str(), c.args);
        EXPECT_EQ(o.status, c.status) << o.out;
        for (const char* gone : {".ERG", ".EEF", ".csv", "_profile.svg"}) {
            EXPECT_FALSE(fs::exists(p.path(std::string("Anlage") + gone))) << gone;
            EXPECT_TRUE(holds(o.out, std::string("Datei eines früheren Laufs entfernt: Anlage") + gone));
        }
    }
}
