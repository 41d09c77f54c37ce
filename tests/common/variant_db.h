// Variant databases for the tests, in one place: SQL run through the sqlite3
// shell (independent of the ODBC layer under test), a variant loaded from SQL
// text next to an empty results database, and runs of such a variant through
// the run driver (SIM=N: the checks alone).
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/recording_ui.h"
#include "common/test_util.h"
#include "database/db_tools.h"
#include "plant_gen.h"
#include "model/context.h"
#include "run/r_rivola.h"

namespace rivola::test {

// Runs SQL through the sqlite3 shell on a database file; returns its output
// without the trailing line breaks.
inline std::string sqlite(const std::string& db, const std::string& sql) {
    const std::string script = db + ".sqltmp";
    std::ofstream(script) << sql << "\n";
    std::string out;
    if (FILE* p = ::popen(("sqlite3 -batch '" + db + "' < '" + script + "' 2>&1").c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    std::remove(script.c_str());
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

// Database diagnostics of a run context go into the test's own directory.
inline void point_diagnostics(RunContext& ctx, const TempDir& dir) { ctx.db.diagFile = dir.str() + "DB_Fehler.pkl"; }

// An empty results database in `dir` (an existing one is kept); its path, "" on failure.
inline std::string new_results(const TempDir& dir) {
    RunContext tools;
    tools.db.diagFile = dir.str() + "load.pkl";
    std::string results, status;
    input::db_new_results(tools, dir.path().string(), results, status);
    return status == "ok" ? results : std::string();
}

// A file of the source tree (examples/..., tests/...).
inline std::string source_file(const std::string& path) {
    return read_file(std::string(RIVOLA_SOURCE_DIR) + "/" + path);
}

// Loads `script` as dir/name.mdb next to an empty results database; returns
// the path of the variant; `status` is "ok" when both databases stand.
inline std::string load_variant(const TempDir& dir, const std::string& name, const std::string& script,
                                std::string& status) {
    const std::string db = dir.str() + name + ".mdb", sql = dir.str() + name + ".sql";
    status = new_results(dir).empty() ? "no results database" : "ok";
    if (status != "ok") return db;
    RunContext tools;
    tools.db.diagFile = dir.str() + "load.pkl";
    write_file(sql, script);
    input::db_load_script(tools, db, sql, status);
    return db;
}

// A variant loaded as by load_variant; a failed load fails the test.
inline std::string loaded_variant(const TempDir& dir, const std::string& name, const std::string& script) {
    std::string status;
    const std::string db = load_variant(dir, name, script, status);
    EXPECT_EQ(status, "ok") << name;
    return db;
}

// What a run of a loaded variant left: the check list and its message codes,
// the screen and the boxes, and what the set-up made of the plant.
struct VariantRun {
    std::string loadStatus;           // "ok" when the script built the database
    int ierr = -1;
    std::string checklist;            // text of the check list ("" when none was written)
    std::vector<std::string> codes;   // message codes of the check list, in order
    std::vector<std::string> logs;    // screen log
    std::vector<std::string> boxes;   // message boxes: "title|text"
    int nsys = 0;                     // elements read
    int niter = 0;                    // free (iterated) divisions
    std::array<int, kMaxItyp + 1> ntyp{};  // elements per type number
    int untyped = 0;                  // elements without a type number
    float outletQ = 0.0f;             // starting discharge at the outlet end of the last element
    float largestQmax = 0.0f;         // the largest discharge bound of any element end
};

// Loads `script` as dir/name.mdb and runs it; `extra` adds parameters
// ("ENGLISH", "OUT=ENGL"); `full`: a whole calculation instead of the checks.
inline VariantRun run_variant(const TempDir& dir, const std::string& name, const std::string& script,
                              const std::vector<std::string>& extra = {}, bool full = false) {
    VariantRun out;
    const std::string db = load_variant(dir, name, script, out.loadStatus);
    if (out.loadStatus != "ok") {
        out.checklist = "load failed: " + out.loadStatus;
        return out;
    }
    RecordingUi ui;
    RunContext ctx;
    point_diagnostics(ctx, dir);
    ctx.ui = &ui, ctx.run.params = {db}, ctx.run.drawing = false;
    if (!full) ctx.run.params.push_back("SIM=N");
    for (const auto& x : extra) {
        ctx.run.params.push_back(x);
        if (x.find("ENGLISH") != std::string::npos) ctx.settings.language = "ENGLISH";
    }
    run::r_rivola(ctx, 1);
    out.ierr = ctx.run.ierr, out.checklist = read_file(dir.str() + name + ".pkl");
    out.codes = check_codes(dir.str() + name + ".pkl");
    out.logs = ui.logs, out.boxes = ui.boxes;
    const Plant& p = ctx.plant;
    out.nsys = p.nsys, out.niter = p.niter, out.ntyp = p.ntyp;
    for (int i = 1; i <= p.nsys; ++i) {
        if (p.el[i].ityp == 0) ++out.untyped;
        for (int s = 1; s <= 2; ++s) out.largestQmax = std::max(out.largestQmax, p.el[i].res[s].Qmax);
    }
    if (p.nsys > 0) out.outletQ = p.el[p.nsys].res[1].Q;
    return out;
}

// A generated plant (SQL text or its tables) run as variant GEN.
inline VariantRun run_generated(const TempDir& dir, const std::string& script, bool full = false) {
    return run_variant(dir, "GEN", script, {}, full);
}
inline VariantRun run_generated(const TempDir& dir, const gen::PlantTables& t) {
    return run_generated(dir, gen::to_sql(t));
}

}  // namespace rivola::test
