// The calculation run: from the choice of the variant to the final message.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::run {

// The run driver. kind 1: one calculation run; any other kind only closes
// the result files. The error level stays readable in ctx.run.ierr.
void r_rivola(RunContext& ctx, int kind);
// The set-up of the variant read into the plant model (links, discharge
// bounds, sluice gates, input echo, geometry, single losses, checks).
void set_up(RunContext& ctx);
// One calculation of the variant read into the plant model: set-up and
// checks, plot data and, when the run computes, the downstream boundary, the
// water-level walk, the freeboard check and the result files.
void compute_variant(RunContext& ctx);
// Resets the plant model and the run state.
void initl_rivola(RunContext& ctx);
// Chooses the variant, prepares the run's files, reads the iteration settings.
void init_variante(RunContext& ctx);
// Splits the program's command line into parameters and applies them.
// Options may be written with a leading "/" or "-".
void cl_par(RunContext& ctx, const std::vector<std::string>& args);
// The set-up of the variant read into the plant model (links, discharges,
// geometry, losses and their checks), before the walk.
void set_up(RunContext& ctx);
// Reads the iteration settings file (maximum passes, tolerance, step log).
void read_iteration_settings(RunContext& ctx, const std::string& path);
// Writes the iteration settings file so that read_iteration_settings reads
// the same values back; false with the reason when the file cannot be written.
bool write_iteration_settings(const std::string& path, int maxPasses, float tolerance, bool iterLog,
                              std::string& reason);
// The final message by error level (without the leading line break).
std::string final_message(const RunContext& ctx);

}  // namespace rivola::run
