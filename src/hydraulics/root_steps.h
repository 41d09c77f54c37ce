// root_steps: the step routines of the one-dimensional root finders.
// The caller owns the loop: it evaluates the residual f for a trial value x and
// asks a step routine for the next trial. Each routine keeps the history of an
// iteration per slot: slot 0 serves the formula routines, slot k >= 1 the
// iterated division with iteration number k. The caller starts a new iteration
// by setting its step counter to 0.
#pragma once

#include <string_view>

#include "model/step_slots.h"

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// Secant step with extrapolation: x is updated in place. While no trial of the
// iteration has had a residual of the other sign, residuals of equal sign move x
// by the last step again, limited to [lower, upper]. Once the root has been
// bracketed it stays bracketed: a trial on the same side as the one before is
// followed by a regula-falsi step towards the last trial on the other side,
// whose residual is halved each time that side is kept (Illinois), so that the
// trials close in on the root instead of jumping back by a whole step.
// A residual that drifts between calls (the energy difference of a division
// while the splits around it still move) can leave the kept trial on the wrong
// side, and the trials then pile up on it. When the regula-falsi step no longer
// moves x, or (with a `restart` above 0) the residual changed by less than a
// tenth of itself since the trial before, and |f| is above `restart`, the
// bracket is dropped and x takes a Newton step with the slope the bracketing
// pair showed. A formula routine
// restarts whenever it is stuck; a division passes the energy difference it
// accepts as balanced, so that a split may settle on a step of its residual
// that is smaller than that.
void itstep(RunContext& ctx, std::string_view name, int slot, int& counter, float lower,
            float upper, float& x, float f, float restart = 0.0f);

// One regula-falsi step with safeguards (tolerance 1e-5). Step 1 returns x1,
// step 2 x2, later steps the next trial from the last two trials and their
// residuals. The bracket [lower, upper] is narrowed in place; f is set to 0 when
// the routine declares convergence. Beyond 1000 steps the run stops (error
// level 2, screen message 84).
void rfalsi(RunContext& ctx, std::string_view name, int slot, int& counter, float x1, float x2,
            float& lower, float& upper, float& x, float& f);

// One bisection step. flag becomes 'T' when converged (|f| <= ftol, or the
// bracket is narrower than xtol) and '0' when the first two trials do not
// bracket a root; otherwise it is left as it is.
void itmnmx(RunContext& ctx, int slot, int& counter, float& x, float f, float xtol, float ftol,
            char& flag);

}  // namespace rivola::hyd
