// division_convergence: when the division iteration of the water-level walk ends.
// The settings (maximum passes, tolerance, step log) are read at the start of
// a run into the run state; the convergence test runs after every pass of a
// plant with divisions.
#pragma once

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// Convergence test after a pass: sets the walk's stop flag when no iterated
// division's energy difference changed by more than the tolerance since the
// previous pass, or when the maximum number of passes is reached; when the
// walk ends with unbalanced divisions, warns in the check list.
void chkdhe(RunContext& ctx);

}  // namespace rivola::hyd
