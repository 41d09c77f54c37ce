#include "output/listing_data.h"

#include "output/output.h"
#include "run/context.h"

namespace rivola::output {

namespace {

bool valid(const Plant& p, int i) { return i >= 1 && i <= p.nsys; }

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

// The profile slot of an end of element i: the upstream end of a division and
// the downstream end of a confluence are its only end profiles.
int end_slot(int end) { return end == 1 ? kProfDown : kProfUp; }

LineState from_result(const RunContext& ctx, int i, int end) {
    const Element& e = ctx.plant.el[i];
    const EndResult& r = e.res[end];
    LineState s;
    s.has = true;
    s.z = r.z;
    s.h = r.h;
    s.A = r.A;
    s.v = r.v;
    s.he = r.he;
    s.Tau = r.Tau;
    s.hasTau = r.Tau > -9999.0f;  // divisions carry -9999.99: no value
    s.hges = board_height(ctx, i, end_slot(end));
    s.bem = r.bem;
    return s;
}

}  // namespace

LineState end_state(const RunContext& ctx, int i, int end) {
    if (!valid(ctx.plant, i) || end < 1 || end > 2) return {};
    return from_result(ctx, i, end);
}

float wall_opening(const RunContext& ctx, int i) {
    if (!valid(ctx.plant, i)) return 0.0f;
    const float a = ctx.plant.el[i].hve.H;
    return given(a) && a > 0.0f ? a : 0.0f;
}

bool wall_formula_governs(const RunContext&, int) {
    // The wall computation keeps no flag of its own yet: the formula counts as
    // not governing.
    return false;
}

BranchLine division_branch(const RunContext& ctx, int i, int j) {
    BranchLine b;
    if (!valid(ctx.plant, i) || j < 1 || j > 2) return b;
    const int o = ctx.plant.el[i].iab[j];
    if (!valid(ctx.plant, o)) return b;
    // The branch hands its water to the inlet end of its outlet element.
    b.Q = ctx.plant.el[o].res[2].Q;
    b.s = from_result(ctx, o, 2);
    b.s.bem = {};
    return b;
}

InletLine confluence_inlet(const RunContext& ctx, int i, int j) {
    InletLine b;
    if (!valid(ctx.plant, i) || j < 1 || j > 2) return b;
    const int u = ctx.plant.el[i].izu[j];
    if (!valid(ctx.plant, u)) return b;
    b.Q = ctx.plant.el[u].res[1].Q;
    b.s = from_result(ctx, u, 1);
    b.s.hges = board_height(ctx, i, j == 1 ? kProfBranch1 : kProfBranch2);
    b.s.bem = {};
    return b;
}

bool branch_zeta(const RunContext& ctx, int i, int j, float& zeta) {
    if (!valid(ctx.plant, i) || j < 1 || j > 2) return false;
    const Element& e = ctx.plant.el[i];
    // Distribution and collection flumes are computed by the momentum
    // equation: no loss coefficient applies to their branches.
    if (letter(e) == 'V' || letter(e) == 'S') return false;
    const float z = (j == 1) ? e.hve.zeta1[1] : e.hve.zeta2[1];
    if (!given(z)) return false;
    zeta = z;
    return true;
}

LineState throat_state(const RunContext&, int) { return {}; }

LineState dead_end(const RunContext& ctx, int i) {
    LineState s;
    if (!valid(ctx.plant, i)) return s;
    const Element& e = ctx.plant.el[i];
    // A distribution flume ends downstream without flow, a collection flume
    // begins upstream without flow; the water stands at the level of the flume
    // section next to it.
    const bool v = letter(e) == 'V';
    const int slot = v ? kProfDown : kProfUp;
    const EndResult& r = e.res[v ? 1 : 2];
    s.has = true;
    s.hasFlow = false;
    s.hasTau = false;
    s.z = e.prof[slot].Z;
    s.h = r.z + r.h - s.z;
    s.hges = board_height(ctx, i, slot);
    return s;
}

float pump_head(const RunContext& ctx, int i) {
    if (!valid(ctx.plant, i)) return 0.0f;
    // The pump computation keeps in HVU its energy level minus the energy
    // level of the element it delivers into.
    return -ctx.plant.el[i].HVU;
}

}  // namespace rivola::output
