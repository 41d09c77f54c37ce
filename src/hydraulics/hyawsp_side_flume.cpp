// Element computations of the water-level walk for side flumes: collection
// flumes (inflows over weirs along the flume) and distribution flumes
// (outflows over weirs along the flume), both by the momentum balance over
// two halves.
#include "hydraulics/hyawsp.h"

#include <algorithm>
#include <string>

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_wsp.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::hyd {

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

}  // namespace rivola::hyd
