// Stopping a calculation from inside the hydraulic formulas: a numbered screen
// message on the screen log and error level 2 for the run.
#pragma once

#include <string_view>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// Screen messages of the formulas: 82 more than three berms, 84 regula falsi
// beyond 1000 steps, 101 energy curve of a berm zone below the depth, 102 to
// 104 linear solver, 105 and 106 berm-zone searches beyond 1000 steps. `name`
// is the calling routine for 84 and 101.
void abort_run(RunContext& ctx, int nr, std::string_view name = {});

}  // namespace rivola::hyd
