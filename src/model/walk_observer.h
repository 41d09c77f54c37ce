// What the water-level walk tells those who follow it (the screen log, a
// trace, the desktop's progress): an element end computed, a section inside
// an element, a pass finished. The walk knows only this interface.
#pragma once

namespace rivola {

struct RunContext;

class WalkObserver {
public:
    virtual ~WalkObserver() = default;
    // The results of element i at end `end` (1 outlet, 2 inlet) are stored.
    virtual void element_end(RunContext& ctx, int i, int end) = 0;
    // The current cross-section holds a state inside element i (a section, a
    // branch or an inlet), marked with `tag`.
    virtual void section(RunContext& ctx, int i, const char* tag) = 0;
    // A pass of the walk of a plant with divisions is finished.
    virtual void pass_finished(RunContext& ctx, int pass) = 0;
    // Whether all it does with what it is told is to write lines to the screen
    // log of the context it is given. Then the lanes of a pass may be computed
    // on threads of their own, each telling it from a context whose log keeps
    // the lines until the walk hands them on in the order of the elements.
    virtual bool logs_only() const { return false; }
};

}  // namespace rivola
