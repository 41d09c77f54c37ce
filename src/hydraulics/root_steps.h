// root_steps: the step routines of the one-dimensional root finders.
// The caller owns the loop: it evaluates the residual f for a trial value x and
// asks a step routine for the next trial. Each routine keeps the history of an
// iteration per slot: slot 0 serves the formula routines, slot k >= 1 the
// iterated division with iteration number k. The caller starts a new iteration
// by setting its step counter to 0.
#pragma once

#include <string_view>
#include <vector>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// History of one slot, separately for each step routine.
struct StepSlot {
    // itstep: current and previous trial with their residuals; once the root
    // has been bracketed, the last trial on the other side and the slope of
    // the bracketing pair
    float sx = 0, sf = 0, sxPrev = 0, sfPrev = 0;
    float sxBr = 0, sfBr = 0, sSlope = 0;
    bool bracketed = false;
    // rfalsi: older (a) and newer (b) trial, residual at a, slope estimate,
    // first two trials and the bracket given at the start
    float ra = 0, rb = 0, rfPrev = 0, rSlope = 0, rx1 = 0, rx2 = 0, rLower = 0, rUpper = 0;
    // itmnmx: the two sides of the bracket and the sign of side A's residual
    float ma = 0, mb = 0;
    int mSign = 0;
};

// The step state of a run. The slots grow with the number of iterated
// divisions of the plant; any slot number >= 0 is served.
struct StepSlots {
    std::vector<StepSlot> slot;
    StepSlot& at(int k);
    void clear() { slot.clear(); }
};

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
