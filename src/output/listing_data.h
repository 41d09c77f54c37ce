// The values the listings read besides the element results: the per-type data
// of walls, divisions, confluences, measurement flumes, distribution and
// collection flumes and pumps as the set-up and the element computations keep
// them. Every value a listing line shows goes through one of these lookups.
#pragma once

#include <array>
#include <string>

namespace rivola {
struct RunContext;
}

namespace rivola::output {

// A section as a line of the result listing shows it.
struct LineState {
    bool has = false;          // false: the section columns stay blank
    float z = 0, hges = 0, h = 0, A = 0, v = 0, he = 0, Tau = 0;
    bool hasFlow = true;       // false: area, velocity, energy and shear stay blank
    bool hasTau = true;
    std::array<std::string, 6> bem;  // remark slots 1..5
    int profElem = 0, profSlot = 0;  // the profile of the section: element and slot (0: none)
    float wsp() const { return z + h; }
};

// The state at end `end` (1 outlet, 2 inlet) of element i.
LineState end_state(const RunContext& ctx, int i, int end);

// Opening height a of a wall (the wall's "h,D").
float wall_opening(const RunContext& ctx, int i);
// True when the outflow formula governed the wall's computation.
bool wall_formula_governs(const RunContext& ctx, int i);

// Branch j (1, 2) of division i: the discharge into outlet j, the state at the
// outlet end of the branch, its friction and single loss and whether they are
// at hand.
struct BranchLine {
    float Q = 0;
    LineState s;
    bool hasLoss = false;
    float hvk = 0, hve = 0;
    bool hasHvu = false;       // transition loss of a distribution flume's branch
    float hvu = 0;
};
BranchLine division_branch(const RunContext& ctx, int i, int j);

// Inlet j (1, 2) of confluence i: the discharge from inlet j, the state at the
// inlet and its loss.
struct InletLine {
    float Q = 0;
    LineState s;
    bool hasLoss = false;
    float hvk = 0, hve = 0;    // friction and single loss to the inlet
};
InletLine confluence_inlet(const RunContext& ctx, int i, int j);

// Loss coefficient of branch j of division or confluence i as the QVE table
// shows it; false when none applies.
bool branch_zeta(const RunContext& ctx, int i, int j, float& zeta);

// The state on the sill of measurement flume i; has = false when not at hand.
LineState throat_state(const RunContext& ctx, int i);

// The dead end of a distribution flume (no outlet beyond its side outlets) or
// of a collection flume (no inlet before its side inlets): the section without
// flow, with the water level of the flume next to it.
LineState dead_end(const RunContext& ctx, int i);

// The warning of a division whose inlet is held at critical depth: W61 when
// both branches were held there, so that the energy heights agree for any
// split and the outlets' capacity decided it (the split named), otherwise W60.
void division_critical_warning(RunContext& ctx, int i);

// Delivery head of pump i: the energy level it delivers into minus the energy
// level on its suction side.
float pump_head(const RunContext& ctx, int i);

}  // namespace rivola::output
