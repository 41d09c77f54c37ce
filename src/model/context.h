// The run context: everything one calculation run works on. Every routine of
// the core receives it by reference; there is no mutable global state, so two
// runs can proceed in one process without touching each other.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/step_slots.h"
#include "model/m_qercmn.h"
#include "model/check_list.h"
#include "model/db_state.h"
#include "model/plant.h"
#include "model/run_state.h"
#include "model/walk_observer.h"

namespace rivola {

namespace ui {
class Services;
}

// Settings of the program, passed in by the program that starts a run.
struct ProgramSettings {
    std::string language = "DEUTSCH";  // "DEUTSCH" or "ENGLISH"
    std::string programName = "RIVOLA";
    std::string version = RIVOLA_VERSION;  // from the build
};

struct RunContext {
    RunContext() = default;
    // A context that works on the plant of another one: a lane of a pass of
    // the walk computed on a thread of its own shares the plant of its run and
    // keeps its own cross-section, step histories, check-list lines and log.
    explicit RunContext(Plant& shared) : plant(shared) {}
    // A copy would share or lose the plant: copy the parts that are wanted.
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    ProgramSettings settings;
    RunState run;

private:
    Plant ownPlant_;                // the plant of a run that owns one

public:
    Plant& plant = ownPlant_;       // the plant this context computes
    checks::Reporter rep;
    hyd::Qercmn cs;                 // the current cross-section
    hyd::StepSlots steps;           // histories of the root-finder step routines
    input::DbState db;              // the database access layer
    ui::Services* ui = nullptr;     // dialogs and the screen log
    WalkObserver* walk = nullptr;   // follows the water-level walk (none: unobserved)
    // The flow cases of the last run, each with its own results, and the
    // design case among them (empty for a variant without cases).
    std::vector<std::shared_ptr<RunContext>> flowCases;
    size_t designCase = 0;

    // Error level of the run: the worst severity so far.
    int& ierr() { return run.ierr; }
    bool failed() const { return run.ierr >= 2; }
    bool english() const;           // language contains "ENGL"
};

}  // namespace rivola
