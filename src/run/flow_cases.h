// The flow cases of a variant in one run: each case is a complete
// calculation of the variant as read, with the case's inflows, downstream
// level and splits, in a run context of its own; the cases are computed in
// parallel on the machine's cores. Afterwards the check list gets one section
// per case, the envelope of the water levels and the one drawing of all
// cases are written, and the run takes the worst level of its cases.
#pragma once

#include <vector>

#include "database/flow_case_input.h"
#include "model/context.h"

namespace rivola::run {


// Computes the cases of the variant read into ctx (the main run: its check
// list, results database and base name).
void run_flow_cases(RunContext& ctx, const std::vector<input::FlowCase>& cases);

}  // namespace rivola::run
