#include "hydraulics/hyawsp_util.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/hyawsp.h"
#include "hydraulics/hydraul.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

float screen_difference(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    const int k = ordinal(ctx, i);
    if (p.el[i].ityp != T_R || k < 1 || k >= static_cast<int>(p.rec.size())) return 0.0f;
    return p.rec[static_cast<size_t>(k)].dh;
}

float wall_inflow_zeta(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    const int k = ordinal(ctx, i);
    if (p.el[i].ityp != T_W || k < 1 || k >= static_cast<int>(p.wand.size())) return 0.0f;
    return p.wand[static_cast<size_t>(k)].zetaVC;
}

WeirCrest weir_crest(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    WeirCrest c;
    const int k = ordinal(ctx, i);
    if (k < 1 || k >= static_cast<int>(p.ueb.size())) return c;
    const WeirData& w = p.ueb[static_cast<size_t>(k)];
    c.n = std::max(1, static_cast<int>(std::lround(w.N)));
    c.mue = w.mue;
    c.H1 = w.H;
    c.b0 = w.BU;
    c.b1 = w.BO;
    // above the notch each field is as wide as the spacing of the teeth; a
    // single notch continues with vertical walls
    c.b2 = w.A > kTiny ? w.A : w.BO;
    c.p = w.n_c;
    return c;
}

float borda(float vDown, float ADown, float vUp, float AUp) {
    return hvboca(0.0f, vDown, vUp, ADown, AUp, 0.0f);
}

IterationLogs::IterationLogs(RunContext& ctx) : ctx_(ctx) {}

IterationLogs::~IterationLogs() {
    for (std::FILE*& f : ctx_.plant.wsp.iterLog) {
        if (f) std::fclose(f);
        f = nullptr;
    }
}

void report_end(RunContext& ctx, int i, int end) {
    if (ctx.walk) ctx.walk->element_end(ctx, i, end);
}

void report_section(RunContext& ctx, int i, const char* tag) {
    if (ctx.walk) ctx.walk->section(ctx, i, tag);
}

void report_pass(RunContext& ctx, int pass) {
    if (ctx.walk) ctx.walk->pass_finished(ctx, pass);
}


// State of the current section into an end of element i (z stays as set up).
void store_end(RunContext& ctx, int i, int end) {
    const Section& c = ctx.cs.sec[2];
    EndResult& r = ctx.plant.el[i].res[end];
    r.h = c.h;
    r.A = c.A;
    r.v = c.v;
    r.dhy = c.dhy;
    r.I = c.I;
    r.he = c.he;
}

void move_remarks(RunContext& ctx, int i, int end) {
    EndResult& r = ctx.plant.el[i].res[end];
    for (int k = 1; k <= 5; ++k) {
        r.bem[k] = ctx.cs.bem[k];
        ctx.cs.bem[k].clear();
    }
}

void clear_remarks(RunContext& ctx) {
    for (int k = 1; k <= 5; ++k) ctx.cs.bem[k].clear();
}


// ---------------------------------------------------------------------------
// Shared pieces

float vhead(float v) { return v * v * 0.5f * kInvGravity; }

float tau(float dhy, float I) { return 0.25f * dhy * kGravity * 1000.0f * I; }

void velocity_remarks(RunContext& ctx, float v) {
    const BaseSettings& a = ctx.plant.all;
    if (v < a.Vmin)
        ctx.cs.bem[4] = "v";
    else if (v > a.Vmax)
        ctx.cs.bem[4] = "V";
}

void finish_inlet(RunContext& ctx, int i) {
    store_end(ctx, i, 2);
    EndResult& r = ctx.plant.el[i].res[2];
    r.Tau = tau(r.dhy, r.I);
    velocity_remarks(ctx, r.v);
    move_remarks(ctx, i, 2);
}

void sysdwn(RunContext& ctx, int i) {
    const EndResult& r = ctx.plant.el[i].res[1];
    Section& c = ctx.cs.sec[2];
    c.z = r.z;
    c.h = r.h;
    c.A = r.A;
    c.v = r.v;
    c.dhy = r.dhy;
    c.I = r.I;
    c.he = r.he;
}

Downstream downstream(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    const Element& e = p.el[i];
    Downstream s;
    s.d = e.iab[1];
    if (s.d < 1 || s.d > p.nsys) {
        // the plant outlet: the boundary at the element's own outlet end
        s.d = 0;
        const EndResult& r = e.res[1];
        s.z = r.z;
        s.h = r.h;
        s.A = r.A;
        s.v = r.v;
        s.he = r.he;
        s.zmean = r.z;
        return s;
    }
    const Element& de = p.el[s.d];
    s.type = de.ityp;
    s.letter = de.bez.empty() ? ' ' : de.bez[0];
    if (de.ityp == T_Z) {
        s.j = (de.izu[2] == i && de.izu[1] != i) ? 2 : 1;
        const int k = ordinal(ctx, s.d);
        const BranchState& c = p.zus[static_cast<size_t>(k)].inlet[s.j];
        s.z = c.z;
        s.h = c.h;
        s.A = c.A;
        s.v = c.v;
        s.he = c.he;
        s.zmean = c.z;
        return s;
    }
    const EndResult& r = de.res[2];
    s.z = de.prof[kProfUp].Z;
    s.h = r.h;
    s.A = r.A;
    s.v = r.v;
    s.he = r.he;
    s.zmean = de.ityp == T_S ? 0.5f * (de.prof[kProfDown].Z + de.prof[kProfUp].Z) : s.z;
    return s;
}

float profile_top(const EndProfile& p) {
    const int n = std::clamp(p.n, 0, 6);
    return p.H[static_cast<size_t>(n)] + (p.T[0] == 'g' ? p.HS : 0.0f);
}

HydState state_of(const Section& c) { return {c.h, c.A, c.v, c.dhy, c.I, c.he}; }

void put_state(Section& c, const HydState& s) {
    c.h = s.h;
    c.A = s.A;
    c.v = s.v;
    c.dhy = s.dhy;
    c.I = s.I;
    c.he = s.he;
}

void put_end(EndResult& r, const HydState& s) {
    r.h = s.h;
    r.A = s.A;
    r.v = s.v;
    r.dhy = s.dhy;
    r.I = s.I;
    r.he = s.he;
}

HydState hyd_of(const BranchState& b) { return {b.h, b.A, b.v, b.dhy, b.I, b.he}; }

void put_branch(BranchState& b, const HydState& s) {
    b.h = s.h;
    b.A = s.A;
    b.v = s.v;
    b.dhy = s.dhy;
    b.I = s.I;
    b.he = s.he;
}

void blank(std::array<std::string, 6>& bem) {
    for (int k = 1; k <= 5; ++k) bem[k].clear();
}

// Each remark slot of the element's inlet end takes the current slot only when
// it is still blank, so that a remark of the first branch stays.
void first_come(RunContext& ctx, EndResult& r) {
    for (int k = 1; k <= 5; ++k)
        if (r.bem[k].empty() && !ctx.cs.bem[k].empty()) r.bem[k] = ctx.cs.bem[k];
}

void velocity_slot(const RunContext& ctx, std::string& slot, float v) {
    if (v < ctx.plant.all.Vmin)
        slot = "v";
    else if (v > ctx.plant.all.Vmax)
        slot = "V";
}

}  // namespace rivola::hyd
