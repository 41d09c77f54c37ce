// step_slots: the history the root-finder step routines keep between the
// trials of one iteration, per slot: slot 0 serves the formula routines, slot
// k >= 1 the iterated division with iteration number k.
#pragma once

#include <stdexcept>
#include <vector>

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
    // Where the slots of the iterated divisions are kept when they are not
    // this context's own: a lane of the walk on a thread of its own steps the
    // splits of its divisions in the slots of its run (each division has a
    // slot of its own, sized before the lanes start).
    StepSlots* divisions = nullptr;
    StepSlot& at(int k) {
        if (k < 0) throw std::out_of_range("step slot below 0");
        if (k >= 1 && divisions) return divisions->slot.at(static_cast<size_t>(k));
        if (static_cast<size_t>(k) >= slot.size()) slot.resize(static_cast<size_t>(k) + 1);
        return slot[static_cast<size_t>(k)];
    }
    void clear() { slot.clear(); }
};

}  // namespace rivola::hyd
