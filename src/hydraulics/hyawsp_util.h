// Pieces shared by the element computations of the water-level walk.
#pragma once

#include "model/m_qercmn.h"
#include "model/plant.h"
#include "support/constants.h"

#include <cstdio>
#include <string>
#include <vector>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// Smallest depth handed to the hydraulic state of a section.
inline constexpr float kMinDepth = kTiny;

// What the walk tells its observer (nothing when the run has none): the
// results of element i at end `end` stored, a state of the current
// cross-section inside element i marked with `tag`, a pass finished.
void report_end(RunContext& ctx, int i, int end);
void report_section(RunContext& ctx, int i, const char* tag);
void report_pass(RunContext& ctx, int pass);

// The state that the element below i holds for i: the inlet end of the
// downstream element, or the state of the confluence inlet that i feeds, or
// for the last element its own outlet end (the plant's downstream boundary).
struct Downstream {
    int d = 0;                 // downstream element (0 at the plant outlet)
    int type = 0;              // its type number
    char letter = ' ';         // its type letter
    int j = 0;                 // inlet of a confluence that i feeds
    float z = 0;               // invert of that inlet
    float zmean = 0;           // invert the step below i is measured to (mean of a collection flume)
    float h = 0, A = 0, v = 0, he = 0;
};
Downstream downstream(const RunContext& ctx, int i);

// The type letter of an element (first letter of its name).
inline char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

// The state of the current section (sec[2]) into end `end` of element i (the
// invert level stays as set up); the remarks of the current section moved
// into that end, or cleared.
void store_end(RunContext& ctx, int i, int end);
void move_remarks(RunContext& ctx, int i, int end);
void clear_remarks(RunContext& ctx);

// The hydraulic state of a section, of a branch of a division or confluence,
// and of an element end, handed between them.
HydState state_of(const Section& c);
void put_state(Section& c, const HydState& s);
void put_end(EndResult& r, const HydState& s);
HydState hyd_of(const BranchState& b);
void put_branch(BranchState& b, const HydState& s);
// All remark slots blank.
void blank(std::array<std::string, 6>& bem);
// Each remark slot of the inlet end r takes the current slot only when it is
// still blank, so that a remark of the first branch stays.
void first_come(RunContext& ctx, EndResult& r);
// "v" below the plant's least velocity, "V" above its greatest.
void velocity_slot(const RunContext& ctx, std::string& slot, float v);

// Height of the top of a profile above its invert (the crown of a closed one).
float profile_top(const EndProfile& p);

// Given water-level difference of a screen (0 when none).
float screen_difference(const RunContext& ctx, int i);

// Inflow loss coefficient of a sluice gate after the jet contraction.
float wall_inflow_zeta(const RunContext& ctx, int i);

// The crest of a weir as the weir laws take it.
struct WeirCrest {
    int n = 1;                 // fields
    float mue = 0;             // discharge coefficient
    float H1 = 0;              // height of the notch
    float b0 = 0, b1 = 0, b2 = 0;  // widths at the bottom, at H1, above H1
    float p = 0;               // exponent of the reduction for submerged overflow
};
WeirCrest weir_crest(const RunContext& ctx, int i);

// Borda loss from a section (vDown, ADown) below to a section (vUp, AUp) at the
// same place, without a given coefficient.
float borda(float vDown, float ADown, float vUp, float AUp);

// The iteration logs of the divisions; closed when the walk ends, whichever
// way it ends.
class IterationLogs {
public:
    explicit IterationLogs(RunContext& ctx);
    ~IterationLogs();
    IterationLogs(const IterationLogs&) = delete;
    IterationLogs& operator=(const IterationLogs&) = delete;

private:
    RunContext& ctx_;
};

}  // namespace rivola::hyd
