// Element computations of the water-level walk where flows split or join:
// divisions with the iteration of their split, confluences, distribution and
// collection flumes; and the special pipe elements: immersion tubes and the
// pipes of siphon weirs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>
#include <string>

#include "messages/m_rivola_error.h"
#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hyd_abort.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_wsp.h"
#include "hydraulics/root_steps.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"
#include "messages/m_realwin.h"

namespace rivola::hyd {

namespace {


inline char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

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

// ---------------------------------------------------------------------------
// Confluence

void hyazus(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const size_t k = static_cast<size_t>(ordinal(ctx, i));
    ConfluenceState& cf = p.wsp.conf[k];
    ConfluenceData& cd = p.zus[k];
    for (int j = 1; j <= 2; ++j) {
        blank(cs.bem);
        sysdwn(ctx, i);
        qerzus(ctx, j, i);
        prf21(ctx);
        cs.len = e.L;
        cs.dx = e.L;
        qergeo(ctx, "HYAZUS", 2, i, e.L);
        hevgl(ctx, "HYAZUS", 2, i, e.L);
        if (ctx.failed()) return;
        BranchState& c = cd.inlet[j];
        c.hR = cs.hR;
        c.hv = cs.hB + cs.hL + cs.hR;
        put_branch(c, state_of(cs.sec[2]));
        c.z = e.prof[j == 1 ? kProfBranch1 : kProfBranch2].Z;
        cf.Tau[j] = tau(c.dhy, c.I);
        velocity_remarks(ctx, c.v);
        cf.bem[j] = cs.bem;
        report_section(ctx, i, "Z");
        blank(cs.bem);
    }
    // the inlet end shows the first inlet
    put_end(e.res[2], hyd_of(cd.inlet[1]));
    e.res[2].z = cd.inlet[1].z;
    e.res[2].Tau = cf.Tau[1];
    e.res[2].bem = cf.bem[1];
    e.HVK = cd.inlet[1].hR;
    e.HVE1 = cd.inlet[1].hv - cd.inlet[1].hR;
}

// ---------------------------------------------------------------------------
// Collection flume: the momentum balance over two halves; inflows over weirs
// and walls enter at the middle and do not feel the flume's level.

void hyasam(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int t = e.ityp;
    const float L = e.L;

    // 1. the hydrostatic force at the outlet depth starts the state
    sysdwn(ctx, i);
    cs.sec[2].P = pstat(ctx, cs.sec[2].h);

    // 2. the lower half
    float x = 0.0f, sR1 = 0.0f, sL1 = 0.0f;
    impuls(ctx, "HYASAM", i, t, x, 0.5f * L, sR1, sL1);
    if (ctx.failed()) return;
    const HydState mid = state_of(cs.sec[2]);
    const float zmid = cs.Zx;

    ConfluenceState* cf = nullptr;
    ConfluenceData* cd = nullptr;
    bool mode1 = false, mode2 = false;
    if (t == T_Z) {
        const int kz = ordinal(ctx, i);
        cf = &p.wsp.conf[static_cast<size_t>(kz)];
        cd = &p.zus[static_cast<size_t>(kz)];
        if (kz < static_cast<int>(p.zusammen.size())) {
            mode1 = p.zusammen[static_cast<size_t>(kz)].in1WeirOrWall;
            mode2 = p.zusammen[static_cast<size_t>(kz)].in2WeirOrWall;
        }
    }

    // 3. the middle
    if (t == T_S) {
        e.HVE1 = sL1;
        e.HVK = sR1;
        finish_inlet(ctx, i);
        report_end(ctx, i, 2);
    } else if (cf) {
        for (int j = 1; j <= 2; ++j) {
            if (!(j == 1 ? mode1 : mode2)) continue;
            BranchState& c = cd->inlet[j];
            put_branch(c, mid);
            c.z = zmid;
            c.hR = sR1;
            c.hv = sR1 + sL1;
        }
        report_section(ctx, i, "S");
    }

    // 4. the upper half
    float sR2 = 0.0f, sL2 = 0.0f;
    impuls(ctx, "HYASAM", i, t, x, L, sR2, sL2);
    if (ctx.failed()) return;
    const HydState up = state_of(cs.sec[2]);
    const float zup = cs.Zx;
    const float level = zup + up.h;
    std::string over;
    if (up.h > profile_top(e.prof[kProfUp])) over = "ü";
    const int ks = ordinal_vs(ctx, i);
    FlumeState* fs = ks >= 1 && ks < static_cast<int>(p.wsp.sflume.size())
                         ? &p.wsp.sflume[static_cast<size_t>(ks)]
                         : nullptr;
    auto store_flume = [&] {
        if (fs) *fs = {true, level, up.A, up.v, up.he};
    };
    if (t == T_S) {
        store_flume();
        const int u = e.izu[1];
        if (u >= 1 && u <= p.nsys && p.el[u].ityp == T_U && p.el[u].prof[kProfDown].Z < level)
            over = "ü";
        if (!over.empty()) e.res[2].bem[3] = over;
    } else if (cf) {
        auto upper_inlet = [&](int j) {
            BranchState& c = cd->inlet[j];
            put_branch(c, up);
            c.z = zup;
            c.hR = sR1 + sR2;
            c.hv = c.hR + sL1 + sL2;
        };
        if (mode1 && mode2) {
            store_flume();
        } else if (mode1) {
            upper_inlet(2);
        } else if (mode2) {
            upper_inlet(1);
        } else {
            upper_inlet(1);
            upper_inlet(2);
        }
        for (int j = 1; j <= 2; ++j) {
            const BranchState& c = cd->inlet[j];
            cf->Tau[j] = tau(c.dhy, c.I);
            if (!over.empty()) cf->bem[j][3] = over;
        }
        put_end(e.res[2], hyd_of(cd->inlet[1]));
        e.res[2].z = cd->inlet[1].z;
        e.res[2].Tau = cf->Tau[1];
        e.HVK = cd->inlet[1].hR;
        e.HVE1 = cd->inlet[1].hv - cd->inlet[1].hR;
    }
    report_end(ctx, i, 2);
}

// ---------------------------------------------------------------------------
// Distribution flume: the mirror image of the collection flume; outlets over
// weirs and walls take the water along the flume, at its middle.

void hyaver(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int t = e.ityp;
    const float L = e.L;
    const int kd = t == T_A ? ordinal(ctx, i) : 0;
    DivisionState* ds = kd > 0 ? &p.wsp.div[static_cast<size_t>(kd)] : nullptr;
    DivisionData* dd = kd > 0 ? &p.auf[static_cast<size_t>(kd)] : nullptr;

    // 1. the outlets and how they take their water: over a weir or a wall
    // along the flume (mode T), or at the flume's end
    const int nout = t == T_A ? 2 : 1;
    bool mode[3] = {false, false, false};
    for (int j = 1; j <= nout; ++j) {
        const int o = e.iab[j];
        if (t == T_A && kd < static_cast<int>(p.aufteilung.size()))
            mode[j] = j == 1 ? p.aufteilung[static_cast<size_t>(kd)].out1WeirOrWall
                             : p.aufteilung[static_cast<size_t>(kd)].out2WeirOrWall;
        else
            mode[j] = o >= 1 && o <= p.nsys && (p.el[o].ityp == T_U || p.el[o].ityp == T_W);
    }
    if (t == T_A) {
        if (mode[1] && mode[2])
            e.res[1].Q = 0.0f;
        else if (mode[1])
            e.res[1].Q = p.el[e.iab[2]].res[2].Q;
        else if (mode[2])
            e.res[1].Q = p.el[e.iab[1]].res[2].Q;
    }

    // 2. each outlet
    HydState mid[3];
    for (int j = 1; j <= nout; ++j) {
        if (ctx.failed()) return;
        blank(cs.bem);
        const int o = e.iab[j];
        const Element& oe = p.el[o];
        float x = 0.0f, sR = 0.0f, sL = 0.0f, hvu = 0.0f;
        const float qEnd = e.res[1].Q;
        float Eout = 0.0f;  // the energy level the outlet needs
        if (mode[j]) {
            // the energy height the flume must hold at the outlet's crest,
            // with half the approach velocity head of a submerged weir
            float E = oe.res[2].he;
            if (oe.ityp == T_U) {
                const size_t ku = static_cast<size_t>(ordinal(ctx, o));
                if (ku >= 1 && ku < p.ueb.size() && p.ueb[ku].kind == 'T')
                    E += p.ueb[ku].submerged * oe.res[2].v * oe.res[2].v * 0.25f * kInvGravity;
            }
            const float zo = oe.prof[kProfUp].Z;
            Eout = zo + E;
            cs.sec[1].z = zo;
            hvonhe(ctx, "HYAVER", 2, i, 0.5f * L, E);
            if (ctx.failed()) return;
            hvu = cs.Zx + cs.sec[2].he - (zo + oe.res[2].he);
            mid[j] = state_of(cs.sec[2]);
            if (t == T_V) {
                e.HVU = hvu;
                put_end(e.res[1], mid[j]);
                e.res[1].Tau = tau(mid[j].dhy, mid[j].I);
            }
            cs.sec[2].P = pstat(ctx, cs.sec[2].h);
            x = 0.5f * L;
            impuls(ctx, "HYAVER", i, t, x, L, sR, sL);
        } else {
            // an outlet at the flume's end carries its own discharge there
            if (t == T_A && !mode[1] && !mode[2]) e.res[1].Q = oe.res[2].Q;
            Eout = oe.res[2].E();
            qerver(ctx, "HYAVER", j, i);
            if (ctx.failed()) return;
            cs.sec[2].P = pstat(ctx, cs.sec[2].h);
            mid[j] = state_of(cs.sec[2]);
            if (t == T_V) {
                put_end(e.res[1], mid[j]);
                e.res[1].Tau = tau(mid[j].dhy, mid[j].I);
                e.HVU = cs.hB;
            }
            x = 0.0f;
            impuls(ctx, "HYAVER", i, t, x, L, sR, sL);
            e.res[1].Q = qEnd;
        }
        if (ctx.failed()) return;

        // A branch that reaches the inlet at critical depth carries there more
        // energy than its outlet needs for its share; the flume's losses on
        // the way are then not defined, the outlet's own need is what counts.
        const bool critical = cs.sec[2].h <= cs.hc * 1.0001f + 1e-5f;
        const float surplus = critical ? std::max(cs.Zx + cs.sec[2].he - Eout, 0.0f) : 0.0f;
        // 3. the branch results
        if (t == T_V) {
            e.HVK = sR;
            e.HVE1 = sL;
            finish_inlet(ctx, i);
            report_end(ctx, i, 2);
        } else if (ds && dd) {
            BranchState& b = dd->branch[j];
            ds->surplus[j] = surplus;
            put_branch(b, state_of(cs.sec[2]));
            b.z = cs.Zx;
            b.hR = sR;
            b.hv = sL;
            ds->hvu[j] = hvu;
            velocity_remarks(ctx, b.v);
            ds->bem[j] = cs.bem;
            if (!mode[j]) first_come(ctx, e.res[2]);
            report_section(ctx, i, "A");
            blank(cs.bem);
        }
    }

    // 4. the lower half beyond outlets over weirs and walls: the water stands
    // in it without an outlet at the end
    const bool lower = (t == T_V && mode[1]) || (t == T_A && mode[1] && mode[2]);
    if (!lower) return;
    HydState start = mid[1];
    if (t == T_A) {
        const float q1 = p.el[e.iab[1]].res[2].Q, q2 = p.el[e.iab[2]].res[2].Q;
        start = mid[1].h >= mid[2].h ? mid[1] : mid[2];
        if (q1 < kTiny) start = mid[2];
        if (q2 < kTiny) start = mid[1];
    }
    blank(cs.bem);
    qergeo(ctx, "HYAVER", 2, i, 0.5f * L);
    if (ctx.failed()) return;
    put_state(cs.sec[2], start);
    cs.sec[2].P = pstat(ctx, start.h);
    float x = 0.5f * L, sR = 0.0f, sL = 0.0f;
    impuls(ctx, "HYAVER", i, t, x, 0.0f, sR, sL);
    if (ctx.failed()) return;
    const Section& c = cs.sec[2];
    const float level = cs.Zx + c.h;
    if (c.h > profile_top(e.prof[kProfDown])) cs.bem[3] = "ü";
    for (int j = 1; j <= nout; ++j) {
        const int o = e.iab[j];
        if (p.el[o].ityp == T_U && p.el[o].prof[kProfUp].Z < level) cs.bem[3] = "ü";
    }
    const size_t kv = static_cast<size_t>(ordinal_vs(ctx, i));
    if (kv >= 1 && kv < p.wsp.vflume.size()) p.wsp.vflume[kv] = {true, level, c.A, c.v, c.he};
    velocity_remarks(ctx, c.v);
    if (t == T_A) put_end(e.res[1], state_of(c));
    for (int k = 1; k <= 5; ++k)
        if (!cs.bem[k].empty()) e.res[1].bem[k] = cs.bem[k];
    blank(cs.bem);
    report_end(ctx, i, 1);
}

// ---------------------------------------------------------------------------
// Immersion tube: n perforated tubes with N holes each, closed at their upper
// end; the water enters through the holes and leaves at the open end.

namespace {

struct HoleRow {
    int nr = 0;
    float z = 0, x = 0, qPipe = 0, qHole = 0, vPipe = 0, vHole = 0, E = 0, hR = 0, hL = 0;
};

// One walk along a tube from its open end (pipe energy E0 above the outlet
// invert, pipe discharge q) to the closed end. Hole m (1 at the closed end)
// takes its discharge from `holeQ(E, Qp)` given the pipe energy E and the pipe
// discharge Qp just below it; between holes the friction over the spacing.
// Returns the discharge left in the pipe above the closed-end hole; `Eout` is
// the energy outside at the closed-end hole.
struct TubeWalk {
    float Ap = 0, phi = 0, a = 0, L = 0, z1 = 0, z2 = 0;
    int N = 1;
    std::function<float(float)> slope;
    float sumR = 0, sumL = 0, qLast = 0, Eout = 0;
    std::vector<HoleRow> rows;

    template <class F>
    float run(float E0, float q, F holeQ) {
        rows.assign(static_cast<size_t>(N) + 1, HoleRow{});
        float E = E0, Qp = q;
        sumR = sumL = 0.0f;
        for (int m = N; m >= 1; --m) {
            const float v = Ap > kTiny ? Qp / Ap : 0.0f;
            // friction up to this hole
            const float hR = slope(std::fabs(v)) * a;
            E += hR;
            float qm = holeQ(m, E, Qp);
            const float r = Qp > kTiny ? qm / Qp : 1.0f;
            const float coef = m > 1 ? (2.0f - r) * r
                                     : (phi > kTiny ? (r / phi) * (r / phi) : 0.0f) + 1.0f -
                                           2.0f * (1.0f - r) * (1.0f - r);
            const float hL = coef * v * v * 0.5f * kInvGravity;
            if (m == 1) Eout = E + hL;
            E += hL;
            sumR += hR;
            sumL += hL;
            const float xm = L - (m - 1) * a;
            HoleRow& row = rows[static_cast<size_t>(m)];
            row = {m, z1 + (L > kTiny ? (z2 - z1) * xm / L : 0.0f), xm, Qp, qm, v, 0.0f, E, hR, hL};
            if (m == 1) qLast = qm;
            Qp -= qm;
        }
        return Qp;
    }
};

void write_tau_table(RunContext& ctx, int i, const TubeWalk& tw, float fl, bool uniform) {
    const Element& e = ctx.plant.el[i];
    const bool en = ctx.english();
    const std::string name = ctx.run.basePath + "_" + support::trim(e.bez) + ".TAU";
    std::FILE* f = std::fopen(name.c_str(), "w");
    if (!f) return;
    using support::fmt_f;
    using support::fmt_i;
    std::fprintf(f, "%s%s\n", en ? " detailed result of immersion tube : " : " Detailergebnis des Tauchrohrs : ",
                 e.bez.c_str());
    std::fprintf(f, "%s\n", en ? "   hole     invert   length     Q pipe     Q hole  v pipe  v hole     E-level  fric.  single"
                               : "   Loch      Sohle    Länge      Q Rohr     Q Loch  v Rohr  v Loch    E-Niveau  Reib.  Einzel");
    std::fprintf(f, "%s\n", en ? "    no.       masl        m        l/s        l/s     m/s     m/s        masl      m       m"
                               : "    Nr.       müNN        m        l/s        l/s     m/s     m/s        müNN      m       m");
    if (uniform) {
        std::fprintf(f, "%s\n", en ? " I The discharge through the holes is less than 0.04 l/s!                     I"
                                   : " I Der Abfluss durch die Löcher ist kleiner als 0.04 l/s!                      I");
        std::fprintf(f, "%s\n", en ? " I Because of the precision of calculation uniform distribution has been set! I"
                                   : " I      Wegen der Berechnungsgenauigkeit wird Gleichverteilung angesetzt!     I");
    }
    for (size_t m = 1; m < tw.rows.size(); ++m) {
        const HoleRow& r = tw.rows[m];
        const std::string line = fmt_i(r.nr, 7) + fmt_f(r.z, 11, 3) + fmt_f(r.x, 9, 2) +
                                 fmt_f(1000.0f * r.qPipe, 11, 3) + fmt_f(1000.0f * r.qHole, 11, 3) +
                                 fmt_f(r.vPipe, 8, 3) + fmt_f(fl > kTiny ? r.qHole / fl : 0.0f, 8, 3) +
                                 fmt_f(r.z + r.E, 12, 3) + fmt_f(r.hR, 7, 4) + fmt_f(r.hL, 8, 4);
        std::fprintf(f, "%s\n", line.c_str());
    }
    std::fclose(f);
}

}  // namespace

void hyatau(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    const TubeData& td = p.tau[static_cast<size_t>(k)];
    const int ntube = std::max(td.n, 1);
    blank(cs.bem);

    // 1. the energy height below the tube, measured from its outlet invert
    const Downstream d = downstream(ctx, i);
    const float zo = e.res[1].z;
    const float dz = zo - (d.type == T_Z ? d.z : d.zmean);
    cs.dE = 0.0f;
    hvonhe(ctx, "HYATAU", 1, i, 0.0f, d.he - dz);
    if (ctx.failed()) return;
    const Section c = cs.sec[2];
    const float Ap = c.A;      // one tube
    const float D = c.dhy;     // a full tube: its diameter
    const float K = cs.K;
    EndResult& ro = e.res[1];
    ro.h = c.h;
    ro.A = ntube * c.A;
    ro.v = c.v;
    ro.dhy = c.dhy;
    ro.I = c.I;
    ro.he = c.he;

    // 2. the exit loss into the water below
    if (e.hvs > kTiny)
        e.HVU = 0.0f;
    else if (d.type == T_S)
        e.HVU = vhead(ro.v);
    else
        e.HVU = d.d > 0 ? hvboca(0.0f, d.v, ro.v, d.A, ro.A, 0.0f) : 0.0f;
    ro.he += e.HVU;
    ro.h += e.HVU;
    ro.Tau = tau(ro.dhy, ro.I);
    velocity_remarks(ctx, ro.v);
    for (int s = 1; s <= 5; ++s) {
        ro.bem[s] = cs.bem[s];
        cs.bem[s].clear();
    }
    report_end(ctx, i, 1);

    // 3. the tube must run full
    const EndProfile& pu = e.prof[kProfUp];
    if (ro.z + ro.h < pu.Z + profile_top(pu)) {
        ui::screen_dlgedit(ctx, 81, 0, e.bez);
        if (ctx.run.ierr < 2) ctx.run.ierr = 2;
        return;
    }

    const float Q = e.res[1].Q;
    const float fl = td.fl;
    const float zeta = e.zeta > kTiny ? e.zeta : 1.0f;
    float Eclosed = 0.0f, qLast = 0.0f;
    if (e.hvs > kTiny) {
        e.HVE1 = e.hvs;
        e.HVK = 0.0f;
        Eclosed = ro.he + e.hvs;
        qLast = Q / ntube / std::max(td.nl, 1);
    } else {
        // 4. the uniform pass: every hole takes the same share
        TubeWalk tw;
        tw.N = std::max(td.nl, 1);
        tw.Ap = Ap;
        tw.phi = Ap > kTiny ? fl / Ap : 0.0f;
        tw.a = td.a;
        tw.L = e.L;
        tw.z1 = e.res[1].z;
        tw.z2 = e.res[2].z;
        tw.slope = [&](float v) {
            if (K <= 19.0f) return D > kTiny ? lambda(K, v, D) * vhead(v) / D : 0.0f;
            const float r = std::pow(0.25f * D, 0.66667f);
            return (v / (K * r)) * (v / (K * r));
        };
        const float q = Q / ntube;
        const float qh = q / tw.N;
        tw.run(ro.he, q, [&](int, float, float) { return qh; });
        Eclosed = tw.Eout;
        bool uniform = true;
        if (qh > 0.00004f && fl > kTiny && Ap > kTiny) {
            // 5. the distribution: the level outside for which the holes take
            // exactly the tube's discharge. A hole takes the positive root of
            // E_out - E = zeta (q/fl)^2/2g + (2 q Qp - q^2)/(2g Ap^2): its own
            // loss and the loss of joining the pipe flow Qp below it.
            float step = 0.2f * (tw.sumR + tw.sumL);
            int dir = 0;
            const float g2 = 0.5f * kInvGravity;
            for (int pass = 1;; ++pass) {
                if (pass > 100) {
                    checks::report(ctx, "Hit", e.bez_lang.empty() ? e.bez : e.bez_lang);
                    return;
                }
                const float Eo = Eclosed;
                const float rest = tw.run(ro.he, q, [&](int, float E, float Qp) {
                    const float dE = std::max(Eo - E, 0.0f);
                    const float a2 = (zeta / (fl * fl) - 1.0f / (Ap * Ap)) * g2;
                    const float b = 2.0f * Qp / (Ap * Ap) * g2;
                    float qm;
                    if (2.0f * a2 < kTiny)
                        qm = b > kTiny ? dE / b : kTiny;
                    else
                        qm = (-b + std::sqrt(b * b + 4.0f * a2 * dE)) / (2.0f * a2);
                    return std::max(qm, kTiny);
                });
                if (std::fabs(rest) <= kTiny) break;
                const int nd = rest > 0.0f ? 1 : -1;  // water left: the level outside must rise
                if (dir != 0 && nd != dir) step = std::max(0.5f * step, 0.00000002f);
                dir = nd;
                Eclosed += nd * step;
            }
            uniform = false;
        }
        qLast = tw.qLast;
        e.HVK = tw.sumR;
        if (e.tauflag) write_tau_table(ctx, i, tw, fl, uniform);
    }

    // 7. the inlet end: the water outside the closed end
    EndResult& ri = e.res[2];
    const float zetaIn = e.zeta > kTiny ? e.zeta : 1.0f;
    ri.A = fl;
    ri.he = Eclosed + e.res[1].z - e.res[2].z;
    ri.v = fl > kTiny ? (qLast / fl) / std::sqrt(zetaIn) : 0.0f;
    ri.h = ri.he - vhead(ri.v);
    ri.dhy = 0.0f;
    ri.I = 0.0f;
    ri.Tau = 0.0f;
    e.HVE1 = (ri.z + ri.he) - (ro.z + ro.he) - e.HVK;
    velocity_remarks(ctx, ri.v);
    for (int s = 1; s <= 5; ++s) {
        ri.bem[s] = cs.bem[s];
        cs.bem[s].clear();
    }
    report_end(ctx, i, 2);
}

// ---------------------------------------------------------------------------
// Siphon weir: its pipes run full from the last to the first

void hya_heber(RunContext& ctx, int s, int j) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[j];
    Qercmn& cs = ctx.cs;
    if (j != p.heber.last[s]) {
        // 1. the outlet end under pressure from the inlet of the pipe below
        blank(cs.bem);
        qerdwn(ctx, 1, j);
        cs.sec[1].z = zsohle(ctx, j);
        qergeo(ctx, "HEBER", 1, j, 0.0f);
        cs.hR = cs.hB = cs.hL = 0.0f;
        hevgl_druck(ctx, "HEBER", 1, j, 0.0f);
        if (ctx.failed()) return;
        e.HVU = cs.hB;
        EndResult& ro = e.res[1];
        const Section& c = cs.sec[2];
        ro.h = c.h;
        ro.A = c.A;
        ro.v = c.v;
        ro.dhy = c.dhy;
        ro.I = c.I;
        ro.he = c.he;
        ro.Tau = tau(c.dhy, c.I);
        velocity_slot(ctx, ro.bem[4], ro.v);
    }
    // 2. the inlet end under pressure over the length
    blank(cs.bem);
    prf21(ctx);
    qergeo(ctx, "HEBER", 2, j, e.L);
    cs.hR = cs.hB = cs.hL = 0.0f;
    hevgl_druck(ctx, "HEBER", 2, j, e.L);
    if (ctx.failed()) return;
    e.HVE1 = cs.hL;
    e.HVK = cs.hR;
    finish_inlet(ctx, j);
    report_end(ctx, j, 2);
}

}  // namespace rivola::hyd
