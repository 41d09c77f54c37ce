#include "output/listing_data.h"

#include <algorithm>

#include "messages/m_rivola_error.h"
#include "output/output.h"
#include "support/constants.h"
#include "support/m_strings.h"
#include "model/context.h"

namespace rivola::output {

namespace {

bool valid(const Plant& p, int i) { return i >= 1 && i <= p.nsys; }

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

// Type ordinal of element i: the row of its per-type data.
int ordinal(const RunContext& ctx, int i) {
    const Element& e = ctx.plant.el[i];
    return e.iord > 0 ? e.iord : indtyp(ctx.plant, e.ityp, i);
}

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
    s.profElem = i;
    s.profSlot = end_slot(end);
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
    const int k = ordinal(ctx, i);
    if (k < 1 || k >= static_cast<int>(ctx.plant.wand.size())) return 0.0f;
    return ctx.plant.wand[k].H;
}

bool wall_formula_governs(const RunContext& ctx, int i) {
    if (!valid(ctx.plant, i)) return false;
    const int k = ordinal(ctx, i);
    if (k < 1 || k >= static_cast<int>(ctx.plant.wand.size())) return false;
    return ctx.plant.wand[k].formulaGoverns;
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
    // friction and single loss of the branch from the division's computation
    const int k = ordinal(ctx, i);
    if (ctx.plant.el[i].ityp == T_A && k >= 1 && k < static_cast<int>(ctx.plant.auf.size())) {
        const BranchState& br = ctx.plant.auf[k].branch[j];
        b.hasLoss = true;
        b.hvk = br.hR;
        b.hve = br.hv;
    }
    // the remarks of the branch computation, and the transition loss of a
    // distribution flume's branch
    const WspTables& w = ctx.plant.wsp;
    if (ctx.plant.el[i].ityp == T_A && k >= 1 && k < static_cast<int>(w.div.size())) {
        b.s.bem = w.div[k].bem[j];
        if (letter(ctx.plant.el[i]) == 'V') {
            b.hasHvu = true;
            b.hvu = w.div[k].hvu[j];
        }
    }
    return b;
}

InletLine confluence_inlet(const RunContext& ctx, int i, int j) {
    InletLine b;
    if (!valid(ctx.plant, i) || j < 1 || j > 2) return b;
    const int u = ctx.plant.el[i].izu[j];
    if (!valid(ctx.plant, u)) return b;
    b.Q = ctx.plant.el[u].res[1].Q;
    b.s.has = true;
    b.s.profElem = i;
    b.s.profSlot = j == 1 ? kProfBranch1 : kProfBranch2;
    b.s.hges = board_height(ctx, i, b.s.profSlot);
    // the state at the inlet as the confluence's computation left it, with
    // all losses from the confluence's outlet to this inlet
    const int k = ordinal(ctx, i);
    if (ctx.plant.el[i].ityp == T_Z && k >= 1 && k < static_cast<int>(ctx.plant.zus.size())) {
        const BranchState& in = ctx.plant.zus[k].inlet[j];
        b.s.z = in.z;
        b.s.h = in.h;
        b.s.A = in.A;
        b.s.v = in.v;
        b.s.he = in.he;
        b.s.Tau = 0.25f * in.dhy * kGravity * 1000.0f * in.I;
        b.hasLoss = true;
        b.hvk = in.hR;
        b.hve = in.hv - in.hR;
        const WspTables& w = ctx.plant.wsp;
        if (k < static_cast<int>(w.conf.size())) b.s.bem = w.conf[k].bem[j];
    } else {
        b.s.hasFlow = false;
        b.s.hasTau = false;
        b.s.z = ctx.plant.el[u].res[1].z;
        b.s.h = ctx.plant.el[u].res[1].h;
    }
    return b;
}

bool branch_zeta(const RunContext& ctx, int i, int j, float& zeta) {
    const Plant& p = ctx.plant;
    if (!valid(p, i) || j < 1 || j > 2) return false;
    const Element& e = p.el[i];
    // Distribution and collection flumes are computed by the momentum
    // equation: no loss coefficient applies to their branches.
    if (letter(e) == 'V' || letter(e) == 'S') return false;
    const int k = ordinal(ctx, i);
    const bool division = e.ityp == T_A;
    if (k < 1 || k >= static_cast<int>(division ? p.auf.size() : p.zus.size())) return false;
    const BranchLoss& b = division ? p.auf[k].br[j] : p.zus[k].br[j];
    const char tflag = division ? p.auf[k].tflag : p.zus[k].tflag;
    if (tflag == 'T') {
        // coefficients tabled over the branch's share of the discharge at
        // 0, 0.2, ..., 1.0: the value at the share of this run
        const float q = division ? e.res[2].Q : e.res[1].Q;
        const int o = division ? e.iab[j] : e.izu[j];
        float r = 0.5f;
        if (q >= kTiny && valid(p, o)) r = (division ? p.el[o].res[2].Q : p.el[o].res[1].Q) / q;
        r = std::clamp(r, 0.0f, 1.0f);
        const int n = std::min(static_cast<int>(r / 0.2f), 4);
        const float f = (r - 0.2f * static_cast<float>(n)) / 0.2f;
        zeta = b.zt[n + 1] + f * (b.zt[n + 2] - b.zt[n + 1]);
        return true;
    }
    // a branch with a given single-loss head has no coefficient
    if (!(b.zeta > 0.0f) && b.hvs > 0.0f) return false;
    zeta = b.zeta;
    return true;
}

LineState throat_state(const RunContext& ctx, int i) {
    LineState s;
    if (!valid(ctx.plant, i)) return s;
    const int k = ordinal(ctx, i);
    const WspTables& w = ctx.plant.wsp;
    if (ctx.plant.el[i].ityp != T_M || k < 1 || k >= static_cast<int>(w.throat.size())) return s;
    // the state on the sill of the throat, whose profile lies between the two
    // end profiles
    const ThroatRecord& r = w.throat[k][2];
    s.has = true;
    s.z = r.wsp - r.h;
    s.h = r.h;
    s.A = r.A;
    s.v = r.v;
    s.he = r.he;
    s.Tau = r.Tau;
    s.hges = 0.5f * (board_height(ctx, i, kProfDown) + board_height(ctx, i, kProfUp));
    return s;
}

LineState dead_end(const RunContext& ctx, int i) {
    LineState s;
    if (!valid(ctx.plant, i)) return s;
    const Element& e = ctx.plant.el[i];
    // A distribution flume ends downstream without flow, a collection flume
    // begins upstream without flow. The flume computation keeps the level it
    // works out for that closed end (towards a dead end the water rises by
    // about the velocity head it loses); without it the water stands at the
    // level of the flume section next to it.
    const bool v = letter(e) == 'V';
    const int slot = v ? kProfDown : kProfUp;
    const EndResult& r = e.res[v ? 1 : 2];
    float level = r.z + r.h;
    const WspTables& w = ctx.plant.wsp;
    const std::vector<FlumeState>& closed = v ? w.vflume : w.sflume;
    if (i < static_cast<int>(w.ordVS.size())) {
        const int k = w.ordVS[i];
        if (k >= 1 && k < static_cast<int>(closed.size()) && closed[k].stored)
            level = closed[k].wsp;
    }
    s.has = true;
    s.hasFlow = false;
    s.hasTau = false;
    s.z = e.prof[slot].Z;
    s.h = level - s.z;
    s.hges = board_height(ctx, i, slot);
    s.profElem = i;
    s.profSlot = slot;
    return s;
}

void division_critical_warning(RunContext& ctx, int i) {
    if (!valid(ctx.plant, i)) return;
    const Element& e = ctx.plant.el[i];
    if (support::rtrim(e.res[2].bem[1]) != "gr") return;
    const std::string name = e.bez_lang.empty() ? e.bez : e.bez_lang;
    const Plant& p = ctx.plant;
    const int k = ordinal(ctx, i);
    const bool known = k >= 1 && k < static_cast<int>(p.wsp.div.size()) &&
                       k < static_cast<int>(p.aufteilung.size());
    if (!known || !(p.wsp.div[k].surplus[1] > 0.0f && p.wsp.div[k].surplus[2] > 0.0f)) {
        checks::report(ctx, "W60", name);
        return;
    }
    // the split as the branches carry it
    const float q1 = valid(p, e.iab[1]) ? p.el[e.iab[1]].res[2].Q : 0.0f;
    const float q2 = valid(p, e.iab[2]) ? p.el[e.iab[2]].res[2].Q : 0.0f;
    const float share = q1 + q2 > 0.0f ? 100.0f * q1 / (q1 + q2) : 0.0f;
    auto part = [&](int j, float pc) {
        const int o = e.iab[j];
        return (valid(p, o) ? support::rtrim(p.el[o].bez) : std::string("?")) + " " +
               support::trim(support::fmt_f(pc, 6, 1)) + " %";
    };
    checks::report(ctx, "W61", name, part(1, share) + ", " + part(2, 100.0f - share));
}

float pump_head(const RunContext& ctx, int i) {
    if (!valid(ctx.plant, i)) return 0.0f;
    // The pump computation keeps in HVU its energy level minus the energy
    // level of the element it delivers into.
    return -ctx.plant.el[i].HVU;
}

}  // namespace rivola::output
