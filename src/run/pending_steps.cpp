// Steps of the run whose modules are not part of the program yet. Each says on
// the screen log that it was skipped, so that a run never reports results it
// did not compute. Remove a definition here when its module provides it.
#include "run/context.h"
#include "run/r_rivola.h"
#include "run/steps.h"
#include "ui/services.h"

namespace rivola {

[[maybe_unused]] static void skipped(RunContext& ctx, const char* what) {
    if (ctx.ui) ctx.ui->log(std::string("(not available in this build: ") + what + ")");
}

namespace output {
}  // namespace output

}  // namespace rivola
