// The water-level line of the run-status display: while the walk computes the
// elements, the screen log shows the element, the end computed and its water
// and energy level; after each pass of a plant with divisions, the pass.
#pragma once

#include <string>

#include "model/walk_observer.h"

namespace rivola {
struct RunContext;
}

namespace rivola::output {

// The line of element i at end `end` (1 outlet, 2 inlet) from its stored
// results. Element lines are shown during the first pass of the walk only, so
// that an iterated plant does not flood the screen log.
void outwsp_screen(RunContext& ctx, int i, int end);
// The line of element i for the state in the current section (a section inside
// the element, a branch or an inlet), marked with `tag`.
void outwsp_screen_cs(RunContext& ctx, int i, const char* tag);
// The line that closes a pass of the walk.
void outwsp_screen_pass(RunContext& ctx, int pass);
// The text of an element line (for the screen log and for traces).
std::string wsp_line(const RunContext& ctx, int i, int end);

// The screen log as the observer of the walk: the lines above.
WalkObserver& walk_screen_log();
// The screen log without the element lines: only the line of each pass.
WalkObserver& walk_pass_log();

}  // namespace rivola::output
