// Generated variants in tests: the tables of a generated plant, possibly
// changed by the test, are loaded into a database of a temporary directory
// (next to an empty results database) and validated by a whole run with
// SIM=N. The outcome keeps what the set-up made of the plant.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/recording_ui.h"
#include "common/test_util.h"
#include "common/variant_db.h"
#include "database/db_tools.h"
#include "plant_gen.h"
#include "model/context.h"
#include "run/r_rivola.h"

namespace rivola::test {

struct GenOutcome {
    std::string loadStatus;           // "ok" when the script built the database
    int ierr = -1;
    std::string checklist;            // text of the check list
    std::vector<std::string> codes;   // message codes of the check list, in order
    std::vector<std::string> boxes;   // message boxes: "title|text"
    int nsys = 0;                     // elements read
    int niter = 0;                    // free (iterated) divisions
    std::array<int, kMaxItyp + 1> ntyp{};  // elements per type number
    int untyped = 0;                  // elements without a type number
    float outletQ = 0.0f;             // starting discharge at the outlet end of the last element
    float largestQmax = 0.0f;         // the largest discharge bound of any element end
};

// `full`: a whole calculation run instead of the checks alone.
inline GenOutcome run_generated(const TempDir& dir, const std::string& script, bool full = false) {
    GenOutcome out;
    const std::string db = load_variant(dir, "GEN", script, out.loadStatus);
    if (out.loadStatus != "ok") return out;
    RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.db.diagFile = dir.str() + "DB_Fehler.pkl";
    ctx.run.params = {db};
    if (!full) ctx.run.params.push_back("SIM=N");
    ctx.run.drawing = false;
    run::r_rivola(ctx, 1);
    out.ierr = ctx.run.ierr;
    out.checklist = read_file(dir.str() + "GEN.pkl");
    for (const std::string& l : read_lines(dir.str() + "GEN.pkl")) {
        if (l.size() < 3 || l[0] == ' ' || l.rfind("Prüfprotokoll", 0) == 0) continue;
        out.codes.push_back(l.substr(0, 3));
    }
    out.boxes = ui.boxes;
    const Plant& p = ctx.plant;
    out.nsys = p.nsys;
    out.niter = p.niter;
    out.ntyp = p.ntyp;
    for (int i = 1; i <= p.nsys; ++i) {
        if (p.el[i].ityp == 0) ++out.untyped;
        for (int s = 1; s <= 2; ++s) out.largestQmax = std::max(out.largestQmax, p.el[i].res[s].Qmax);
    }
    if (p.nsys > 0) out.outletQ = p.el[p.nsys].res[1].Q;
    return out;
}

inline GenOutcome run_generated(const TempDir& dir, const gen::PlantTables& t) {
    return run_generated(dir, gen::to_sql(t));
}

}  // namespace rivola::test
