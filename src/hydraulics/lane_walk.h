// The passes of the walk lane by lane on threads. Within a pass the water of
// a lane comes from below: an element needs the states of the elements it
// discharges into, nothing else of the pass. The walk's elements are cut into
// strands, runs of elements each discharging into the one computed just
// before it, cut where a strand meets a confluence, a division or a second
// inlet. A strand is ready once the strands it discharges into are computed;
// the threads take the ready strands, each with a working cross-section of
// its own. What the strands report (check list, screen log, error level) is
// handed on in the order of the walk, up to the first strand that stops the
// run, so that a run tells the same at any thread count.
#pragma once

#include <functional>
#include <memory>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

class PassScope;

class LaneWalk {
public:
    // Walks the elements from `top` down to `bottom` of the current pass in
    // the given context; false when the run failed there.
    using WalkElements = std::function<bool(RunContext& ctx, int top, int bottom)>;

    // Whether the passes of this run can go lane by lane on `threads`
    // threads: more than one thread, divisions, no siphon weir (its pipes are
    // computed as one), no iteration log, every element discharging into
    // elements computed before it, each iterated division with a step slot of
    // its own, and an observer of the walk that only writes lines to the log.
    static bool suits(const RunContext& ctx, int threads);

    // Threads that take strands; they wait between the levels of a pass.
    LaneWalk(RunContext& ctx, PassScope& scope, int threads, WalkElements walk);
    ~LaneWalk();
    LaneWalk(const LaneWalk&) = delete;
    LaneWalk& operator=(const LaneWalk&) = delete;

    // One pass, with its discharges set. Returns false when
    // the run failed in it (its error level says so) or was cancelled
    // (`cancelled` is asked between levels).
    bool pass(const std::function<bool()>& cancelled);

    // The strands of the plant, and the most strands one above the other
    // (the longest chain of strands each discharging into the next).
    int strands() const;
    int levels() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace rivola::hyd
