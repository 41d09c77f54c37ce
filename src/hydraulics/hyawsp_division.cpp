// Element computation of the water-level walk for divisions: the two branch
// states, and the iteration of the split until both branches need the same
// energy at the inlet.
#include "hydraulics/hyawsp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul_wsp.h"
#include "hydraulics/root_steps.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::hyd {

namespace {

// ---- the iteration logs of the divisions ----

void open_logs(RunContext& ctx) {
    Plant& p = ctx.plant;
    WspTables& w = p.wsp;
    w.iterLog.assign(w.div.size(), nullptr);
    for (int k = 1; k < static_cast<int>(w.div.size()); ++k) {
        const int i = w.div[k].isys;
        if (i < 1 || i > p.nsys) continue;
        const std::string name = ctx.run.dbDir + support::trim(p.el[i].bez) + ".pkl";
        std::FILE* f = std::fopen(name.c_str(), "w");
        if (!f) continue;
        std::fprintf(f, "   Iterationsprotokoll: %s\n", name.c_str());
        std::fprintf(f, "%6s %6s %12s %10s %12s\n", "it", "it_auf", "Qzu", "Q1/Qzu", "dHe");
        w.iterLog[static_cast<size_t>(k)] = f;
    }
}

void log_step(RunContext& ctx, int k, float qzu, float x, float dE) {
    WspTables& w = ctx.plant.wsp;
    if (k < 1 || k >= static_cast<int>(w.iterLog.size())) return;
    std::FILE* f = w.iterLog[static_cast<size_t>(k)];
    if (!f) return;
    std::fprintf(f, "%6d %6d %12.6f %10.6f %12.6f\n", w.pass, w.div[k].it - 1, qzu, x, dE);
    std::fflush(f);
}

}  // namespace

// ---------------------------------------------------------------------------
// Division

void hyazwg(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    WspTables& w = p.wsp;
    const int k = ordinal(ctx, i);
    DivisionState& ds = w.div[static_cast<size_t>(k)];
    DivisionSetting& set = p.aufteilung[static_cast<size_t>(k)];
    DivisionData& dd = p.auf[static_cast<size_t>(k)];
    const bool isV = letter(e) == 'V';

    // 1. the first division of a run clears the step counters
    if (!w.divInit) {
        w.divInit = true;
        for (DivisionState& d : w.div) d.it = 0;
        if (ctx.run.iterLog) open_logs(ctx);
    }

    // 2. the branches
    if (isV)
        hyaver(ctx, i);
    else
        hyaauf(ctx, i);
    if (ctx.failed()) return;
    const HydState s1 = hyd_of(dd.branch[1]);
    const HydState s2 = hyd_of(dd.branch[2]);

    // 3. difference of the energy heights the branches require. A branch
    // held at critical depth carries more energy than its outlet needs; when
    // both are held so (the inlet flows at critical depth) their energy
    // heights agree for any split, and what decides the split is the energy
    // each outlet needs for its share: the outlets take the water by their
    // capacity at a common energy.
    ds.dE = (s1.he - ds.surplus[1]) - (s2.he - ds.surplus[2]);

    HydState in;
    if (set.fixed) {
        // 4. a fixed split: the branch that needs more energy governs
        in = s1.he <= s2.he ? s2 : s1;
    } else {
        // 5. a free split: the mean of both branches; the split moves until
        // the branch energy heights agree
        in = {0.5f * (s1.h + s2.h),   0.5f * (s1.A + s2.A), 0.5f * (s1.v + s2.v),
              0.5f * (s1.dhy + s2.dhy), 0.5f * (s1.I + s2.I), 0.5f * (s1.he + s2.he)};
        if (set.iter > 0 && std::fabs(ds.dE) > 0.00005f) {
            ctx.run.converged = 0;
            float& x = set.value;
            // a split stuck on a stale bracket is moved on while the branches
            // still differ by more than the 1 mm reported as not balanced
            itstep(ctx, "HYAZWG", set.iter, ds.it, 0.0f, 1.0f, x, ds.dE, 0.001f);
            if (ds.it == 1) x = ds.dE <= 0.0f ? 0.5f * (x + 1.0f) : 0.5f * x;
            if (ctx.run.iterLog) {
                const float qzu = p.el[e.iab[1]].res[2].Q + p.el[e.iab[2]].res[2].Q;
                log_step(ctx, k, qzu, x, ds.dE);
            }
        }
    }

    // 6. a branch that carries (almost) nothing does not hold the level
    const float q1 = p.el[e.iab[1]].res[2].Q, q2 = p.el[e.iab[2]].res[2].Q;
    if (q1 < 0.0001f && q2 < 0.0001f) {
        in = {std::min(s1.h, s2.h),     std::min(s1.A, s2.A), std::min(s1.v, s2.v),
              std::min(s1.dhy, s2.dhy), std::min(s1.I, s2.I), std::min(s1.he, s2.he)};
    } else {
        const float q = 0.0001f * (q1 + q2);
        if (q1 < q)
            in = s2;
        else if (q2 < q)
            in = s1;
    }
    EndResult& ri = e.res[2];
    put_end(ri, in);

    // 7. remarks at the inlet
    velocity_slot(ctx, ri.bem[4], ri.v);
    if (std::fabs(ds.dE) > 0.001f) ri.bem[5] = "dE";
    for (int j = 1; j <= 2; ++j) {
        const int o = e.iab[j];
        if (o >= 1 && o <= p.nsys && p.el[o].ityp == T_U && ri.z + ri.h <= p.el[o].prof[kProfUp].Z)
            ri.bem[2] = "u";
    }

    // 8. shear stress
    if (!isV) {
        e.res[1].Tau = e.res[2].Tau = -9999.99f;
    } else {
        ri.Tau = tau(ri.dhy, ri.I);
        e.res[1].Tau = 0.25f * kGravity * 1000.0f * std::min(s1.dhy, s2.dhy) * std::min(s1.I, s2.I);
    }
    report_end(ctx, i, 2);
}

// Branches of a division A: the energy balance over the division's length
// from each outlet to the inlet.
void hyaauf(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const size_t k = static_cast<size_t>(ordinal(ctx, i));
    DivisionState& ds = p.wsp.div[k];
    DivisionData& dd = p.auf[k];
    cs.len = e.L;
    for (int j = 1; j <= 2; ++j) {
        blank(cs.bem);
        qerauf(ctx, j, i);
        cs.dx = e.L;
        hevgl(ctx, "HYAAUF", 2, i, e.L);
        if (ctx.failed()) return;
        ds.surplus[j] = cs.surplus;  // the inlet held at critical depth
        BranchState& b = dd.branch[j];
        b.hv = cs.hB + cs.hL;
        b.hR = cs.hR;
        b.z = cs.Zx;
        put_branch(b, state_of(cs.sec[2]));
        e.res[2].h = b.h;
        velocity_remarks(ctx, b.v);
        ds.bem[j] = cs.bem;
        report_section(ctx, i, "A");
        first_come(ctx, e.res[2]);
        blank(cs.bem);
    }
}

}  // namespace rivola::hyd
