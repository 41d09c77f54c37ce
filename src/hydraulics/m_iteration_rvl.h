// m_iteration_rvl: the step routines of the one-dimensional root finders.
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
    // itstep: current and previous trial with their residuals
    float sx = 0, sf = 0, sxPrev = 0, sfPrev = 0;
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

// Secant step with extrapolation: x is updated in place; with residuals of
// equal sign x moves by the last step again, limited to [lower, upper].
void itstep(RunContext& ctx, std::string_view name, int slot, int& counter, float lower,
            float upper, float& x, float f);

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
