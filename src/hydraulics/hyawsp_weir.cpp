// Element computation of the water-level walk for weirs: free and submerged
// overflow over the crest, and the approach section upstream.
#include "hydraulics/hyawsp.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hyd_abort.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_weir.h"
#include "hydraulics/root_steps.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

// ---------------------------------------------------------------------------
// Weir

namespace {

// State just upstream of a weir crest: depth, area, velocity and energy height
// above the reference invert of the state, and the loss from it to the tail.
struct CrestState {
    float h = 0, A = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
    float loss = 0;
};

// Submerged overflow without a reduction law: the depth over the crest whose
// energy height equals the tail water's energy plus the expansion loss into
// the tail. `critical` says that critical flow over the crest already carries
// more energy than the tail holds (the overflow then is not submerged).
// Returns false when the run failed.
bool submerged_crest(RunContext& ctx, const WeirCrest& cr, const EndProfile& po, int np, float Q,
                     float hue, float hd, float Ed, float dz, const Downstream& d, CrestState& out,
                     bool& critical) {
    critical = false;
    const float B = po.B[static_cast<size_t>(np)];
    const float hc = B > kTiny ? std::cbrt(Q * Q / (B * B * kGravity)) : 0.0f;
    float lo = hc, hi = 9999.9f;
    const float x1 = hc, x2 = hue + std::max(hd - hue, 0.1f);
    int nr = 0, ni = 0;
    bool secant = false;
    float h = x1, f = 0.0f, f1 = 0.0f;
    float A = 0, v = 0, he = 0, loss = 0;
    auto residual = [&] {
        fktueb(h, Q, cr.n, cr.H1, cr.b2, cr.b0, cr.b1, A, v, he);
        loss = d.type == T_S ? vhead(v) : borda(d.v, d.A, v, A);
        f = he - (loss + Ed - dz);
    };
    for (int step = 1;; ++step) {
        bool converged = false;
        if (!secant) {
            float fr = f;
            rfalsi(ctx, "HYAUEB", 0, nr, x1, x2, lo, hi, h, fr);
            converged = step > 2 && fr == 0.0f;
        } else {
            itstep(ctx, "HYAUEB", 0, ni, hc, 9999.9f, h, f);
        }
        if (ctx.failed()) return false;
        residual();
        if (step == 1) {
            f1 = f;
            if (f >= 0.0f) {
                // even critical flow over the crest carries the energy below
                loss = dz + he - Ed;
                critical = true;
                break;
            }
        } else if (step == 2 && !secant && f < f1) {
            // no headway with the regula falsi: secant steps, starting from
            // the free-overflow head with the first residual
            secant = true;
            ni = 0;
            float x0 = hue;
            itstep(ctx, "HYAUEB", 0, ni, hc, 9999.9f, x0, f1);
        }
        if (converged || std::fabs(f) < 0.0005f) break;
        if (step >= 1000) {
            // the secant steps have no limit of their own: never hang
            abort_run(ctx, 84, "HYAUEB");
            return false;
        }
    }
    out = {};
    out.h = h;
    out.A = A;
    out.v = v;
    out.he = he;
    out.loss = loss;
    return true;
}

// Free overflow: the state of the approach section upstream of weir i at the
// head hue over the crest, its energy height and the loss down to the tail.
bool free_overflow(RunContext& ctx, int i, float Q, float hue, float Ed, float dz,
                   const Downstream& d, CrestState& out) {
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const float zref = e.res[2].z;
    const int u = e.izu[1];
    if (u >= 1 && u <= p.nsys) {
        const Element& ue = p.el[u];
        const char ul = ue.bez.empty() ? ' ' : ue.bez[0];
        if (ue.ityp == T_A && ul != 'V') {
            geoauf(ctx, ue.iab[1] == i ? 1 : 2, i);
            qergeo(ctx, "HYAUEB", 1, i, 0.0f);
        } else if (ue.ityp == T_V || (ue.ityp == T_A && ul == 'V')) {
            qergeo(ctx, "HYAUEB", 2, u, 0.5f * ue.L);
        } else {
            qergeo(ctx, "HYAUEB", 1, u, 0.0f);
        }
    } else {
        qergeo(ctx, "HYAUEB", 1, i, 0.0f);
    }
    if (ctx.failed()) return false;
    const float w = cs.Zx - zref;
    float A = 0, A2 = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
    fkthya(ctx, "HYAUEB", Q, std::max(hue - w, kMinDepth), A, A2, B, dhy, v, I, he);
    if (ctx.failed()) return false;
    if (d.d > 0) qerdwn(ctx, 1, i);
    out = {hue, A, B, dhy, v, I, he + w, 0.0f};
    out.loss = out.he - Ed + dz;
    return true;
}

// Half the width of the blend between free and submerged overflow, as a share
// of the free head over the crest.
constexpr float kWeirBlend = 0.1f;

// 0 below 0, 1 above 1, a smooth rise in between.
float smooth_step(float x) {
    x = std::clamp(x, 0.0f, 1.0f);
    return x * x * (3.0f - 2.0f * x);
}

CrestState blend(const CrestState& a, const CrestState& b, float t) {
    auto mix = [t](float x, float y) { return x + t * (y - x); };
    return {mix(a.h, b.h),   mix(a.A, b.A), mix(a.B, b.B),   mix(a.dhy, b.dhy),
            mix(a.v, b.v),   mix(a.I, b.I), mix(a.he, b.he), mix(a.loss, b.loss)};
}

void put_crest(Section& c, const CrestState& s) {
    c.h = s.h;
    c.A = s.A;
    c.B = s.B;
    c.dhy = s.dhy;
    c.v = s.v;
    c.I = s.I;
    c.he = s.he;
}

}  // namespace

void hyaueb(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    WeirData& wd = p.ueb[static_cast<size_t>(k)];
    const WeirCrest cr = weir_crest(ctx, i);
    clear_remarks(ctx);

    // 1. the top of the outlet profile; discharge
    const EndProfile& po = e.prof[kProfDown];
    const int np = std::clamp(po.n, 0, 6);
    const float top = po.H[static_cast<size_t>(np)];
    const float Q = e.res[1].Q;

    // 2. crest height above the downstream invert; the downstream state
    const Downstream d = downstream(ctx, i);
    const float dz = e.res[1].z - d.zmean;
    if (d.d > 0) qerdwn(ctx, 1, i);
    if (ctx.failed()) return;
    const float hd = d.h, Ed = d.he;

    // 3. free-overflow head
    float hue = hwehr(ctx, "HYAUEB", Q, cr.mue, cr.n, cr.H1, cr.b0, cr.b1, cr.b2);
    if (ctx.failed()) return;

    Section& c = cs.sec[2];
    const bool tailOverCrest = hd > dz;
    wd.submerged = 1.0f;
    if (cr.p < 0.001f && tailOverCrest && Ed > hue + dz - kWeirBlend * hue) {
        // 4a. submerged overflow without a reduction law: the depth over the
        // crest whose energy carries the tail's energy and the expansion loss
        // into it. Free overflow holds up to a tail energy of the free head
        // over the crest; within a short blend around that switch the state
        // passes steadily from the free to the submerged one, so that the
        // head rises steadily with the tail water (a division whose lanes
        // begin with such weirs would otherwise find no balance).
        CrestState sub;
        bool critical = false;
        if (!submerged_crest(ctx, cr, po, np, Q, hue, hd, Ed, dz, d, sub, critical)) return;
        wd.kind = 'T';
        put_crest(c, sub);
        e.HVU = sub.loss;
        if (critical) cs.bem[2] = "gr";
        else cs.bem[5] = "uv";
        const float t = smooth_step((Ed - dz - (1.0f - kWeirBlend) * hue) / (2.0f * kWeirBlend * hue));
        if (t < 1.0f) {
            CrestState fr;
            if (!free_overflow(ctx, i, Q, hue, Ed, dz, d, fr)) return;
            // both states measured from the crest
            const float lift = e.res[2].z - e.res[1].z;
            fr.he += lift;
            fr.h += lift;
            const CrestState mix = blend(fr, sub, t);
            put_crest(c, mix);
            c.he -= lift;
            c.h -= lift;
            e.HVU = mix.loss;
            wd.submerged = t;
        }
    } else {
        const float t = smooth_step((Ed - dz - (1.0f - kWeirBlend) * hue) / (2.0f * kWeirBlend * hue));
        if (t <= 0.0f || !tailOverCrest) {
            // 4b. free overflow
            wd.kind = 'F';
            if (tailOverCrest) cs.bem[5] = "ü";
        } else {
            // 4c. submerged overflow by the reduction formula; within the
            // blend around the switch the head passes steadily from the free
            // head to the reduced one
            wd.kind = 'T';
            const float reduced = hwehr_unvollkommen(ctx, "HYAUEB", Q, hd - dz, cr.mue, cr.p, cr.n,
                                                     cr.H1, cr.b0, cr.b1, cr.b2);
            if (ctx.failed()) return;
            hue += t * (reduced - hue);
            wd.submerged = t;
            cs.bem[5] = "µ'";
        }
        // 5. the upstream state for the head over the crest
        CrestState fr;
        if (!free_overflow(ctx, i, Q, hue, Ed, dz, d, fr)) return;
        put_crest(c, fr);
        e.HVU = fr.loss;
    }

    // 6. all cases
    if (c.h > top) cs.bem[3] = po.T[0] == 'o' ? "ü" : "d";
    e.HVE1 = 0.0f;
    if (c.v < p.all.Vmin) cs.bem[4] = "v";
    store_end(ctx, i, 2);
    e.res[2].Tau = tau(c.dhy, c.I);
    move_remarks(ctx, i, 2);
    EndResult& ro = e.res[1];
    const EndResult& ri = e.res[2];
    ro.h = ri.h;
    ro.A = ri.A;
    ro.v = ri.v;
    ro.dhy = ri.dhy;
    ro.I = ri.I;
    ro.he = ri.he;
    ro.Tau = ri.Tau;
    report_end(ctx, i, 2);
}

}  // namespace rivola::hyd
