// Variants from SQL text: a script is loaded into a database file of a
// temporary directory (next to an empty results database) and validated by a
// whole run with SIM=N, as the command line does it.
#pragma once

#include <string>
#include <vector>

#include "common/recording_ui.h"
#include "common/test_util.h"
#include "common/variant_db.h"
#include "database/db_tools.h"
#include "model/context.h"
#include "run/r_rivola.h"

namespace rivola::test {

struct VariantRun {
    int ierr = -1;
    std::string checklist;           // text of the check list ("" when none was written)
    std::vector<std::string> codes;  // codes of its messages, in order
    std::vector<std::string> logs;   // screen log
    std::vector<std::string> boxes;  // message boxes
};

// Loads `script` as dir/name.mdb and runs it; `extra` adds parameters
// ("ENGLISH", "OUT=ENGL").
inline VariantRun run_variant(const TempDir& dir, const std::string& name,
                              const std::string& script,
                              const std::vector<std::string>& extra = {}) {
    VariantRun out;
    std::string status;
    const std::string db = load_variant(dir, name, script, status);
    if (status != "ok") {
        out.checklist = "load failed: " + status;
        return out;
    }
    RecordingUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = {db, "SIM=N"};
    for (const auto& x : extra) {
        ctx.run.params.push_back(x);
        if (x.find("ENGLISH") != std::string::npos) ctx.settings.language = "ENGLISH";
    }
    run::r_rivola(ctx, 1);
    out.ierr = ctx.run.ierr;
    out.checklist = read_file(dir.str() + name + ".pkl");
    for (const std::string& l : read_lines(dir.str() + name + ".pkl")) {
        if (l.size() < 3 || l[0] == ' ') continue;
        if (l.rfind("Prüfprotokoll", 0) == 0 || l.rfind("check-list", 0) == 0) continue;
        out.codes.push_back(l.substr(0, 3));
    }
    out.logs = ui.logs;
    out.boxes = ui.boxes;
    return out;
}

}  // namespace rivola::test
