// Which elements a pass of the walk has to compute again. After the first
// pass only the splits of the free divisions move; an element whose
// discharge is the one it was last computed with, and whose water runs into
// elements whose results did not move in this pass, would come out as it
// stands, so it keeps its results. What a recomputed element hands upstream
// is compared with what it held before: where nothing moved (above a free
// weir or a pump, whose upstream state depends on their own discharge only,
// or behind a converged division) the recomputation stops.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::hyd {

class PassScope {
public:
    // The results of an element and what its type keeps of its state, as bits.
    struct Held {
        std::vector<std::uint32_t> bits;
        std::string remarks;
        bool operator==(const Held&) const = default;
    };
    // What one walker of a pass holds while it goes along its elements: the
    // whole pass on one thread, or one lane of it.
    struct Walker {
        Held before, after;
        int left = 0;                      // the kept element whose state is to be resumed
    };

    // Sizes the tables for a plant of n elements (before the first pass).
    void prepare(int n);
    // Whether element i is computed in pass `pass` (every element in the first).
    bool needed(const RunContext& ctx, int pass, int i) const;
    // Around the computation of element i: what it holds before, and after
    // it whether that moved, with the discharge it was computed with.
    void before(const RunContext& ctx, Walker& w, int i) const { hold(ctx, i, w.before); }
    void after(const RunContext& ctx, Walker& w, int i);
    // Element i keeps its results in this pass.
    void kept(Walker& w, int i) {
        moved_[static_cast<size_t>(i)] = 0;
        w.left = i;
    }
    // Before an element is computed after kept ones: the current cross-section
    // as the last kept element left it when it was computed, as the walk hands
    // it on from element to element.
    void resume(RunContext& ctx, Walker& w) const;
    // The current cross-section element i left when it was last computed.
    const Qercmn& left_by(int i) const { return leaves_[static_cast<size_t>(i)]; }

private:
    static void hold(const RunContext& ctx, int i, Held& h);
    std::vector<std::array<float, 2>> q_;  // discharge at the outlet and inlet end when computed
    std::vector<char> moved_;              // results moved in this pass
    std::vector<Qercmn> leaves_;           // the current cross-section each element left
};

}  // namespace rivola::hyd
