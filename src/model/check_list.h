// check_list: the state of the check list of a run (the file the reporter
// writes its messages to, and the worst severity so far).
#pragma once

#include <cstdio>
#include <string>

namespace rivola::checks {

// State of the reporter, one per run context.
struct Reporter {
    std::string base;                // check list base name (path without extension)
    std::string title;               // "Prüfprotokoll" / "check-list"
    std::FILE* unit = nullptr;       // the open check list, shared with writers of blocks
    bool first = true;               // no line written since INIT
    int last = 0;                    // severity of the latest message
    int worst = 0;                   // worst severity since INIT
    int calls = 0;                   // messages asked for since INIT
    ~Reporter() { close(); }
    void close() {
        if (unit) std::fclose(unit);
        unit = nullptr;
    }
    std::string fileName() const { return base + ".pkl"; }
};

}  // namespace rivola::checks
