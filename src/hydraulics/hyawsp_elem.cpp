// Element computations of the water-level walk: the junction, flumes, pipes
// and basins, screens, in- and outlets, pumps, measurement flumes, walls with
// openings and weirs. Each carries the state at the element's outlet end to
// its inlet end against the flow.
#include <algorithm>
#include <cmath>

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hyd_abort.h"
#include "hydraulics/hydraul_weir.h"
#include "hydraulics/hydraul_wsp.h"
#include "hydraulics/root_steps.h"
#include "hydraulics/m_rivola_vena_contracta.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

namespace {


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

}  // namespace

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

// ---------------------------------------------------------------------------
// Junction

void hyaneu(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    if (i == p.nsys) {
        cs.vab = e.res[1].v;
        return;
    }
    cs.dE = 0.0f;
    cs.len = 0.0f;
    cs.dx = 0.0f;
    cs.vab = 0.0f;
    clear_remarks(ctx);

    const int d = e.iab[1];
    const Element& de = p.el[d];
    const bool free = de.ityp == T_W || de.ityp == T_T ||
                      (de.ityp == T_U && p.ueb[static_cast<size_t>(ordinal(ctx, d))].kind == 'F');
    // a weir in the blend between free and submerged overflow: the energy
    // the junction holds passes steadily from the one to the other
    const float submerged =
        de.ityp == T_U && !free ? p.ueb[static_cast<size_t>(ordinal(ctx, d))].submerged : 1.0f;
    if (free) {
        // Nothing backs water up into i: its outlet state follows from the
        // energy height at the inlet of the downstream element.
        hvonhe(ctx, "HYANEU", 1, i, 0.0f, de.res[2].he);
        if (ctx.failed()) return;
        store_end(ctx, i, 1);
        e.HVU = cs.dE;
    } else {
        qerdwn(ctx, 1, i);
        qergeo(ctx, "HYANEU", 1, i, 0.0f);
        hevgl(ctx, "HYANEU", 1, i, 0.0f);
        if (ctx.failed()) return;
        if (submerged < 1.0f) {
            const float base = cs.Zx - cs.sec[1].z;
            const float hB = cs.hB;
            const float he = de.res[2].he + submerged * (cs.sec[2].he + base - de.res[2].he);
            cs.dE = 0.0f;
            hvonhe(ctx, "HYANEU", 1, i, 0.0f, he);
            if (ctx.failed()) return;
            cs.hB = cs.dE + submerged * hB;
        }
        store_end(ctx, i, 1);
        e.HVU = cs.hB;
    }
    EndResult& r = e.res[1];
    r.Tau = tau(r.dhy, r.I);
    velocity_remarks(ctx, r.v);
    report_end(ctx, i, 1);
    move_remarks(ctx, i, 1);
}

// ---------------------------------------------------------------------------
// Flumes, pressure pipes, basins and the channel of a screen

void hyatrs(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    if (e.prof[kProfDown].T[0] == 'g') {
        // a closed section: full heights over the length, then start again
        // from the outlet state
        qergeo(ctx, "HYATRS", 2, i, e.L);
        if (ctx.failed()) return;
        sysdwn(ctx, i);
    }
    float x = 0.0f, sumR = 0.0f, sumL = 0.0f;
    ber0i(ctx, "HYATRS", i, x, e.L, sumR, sumL);
    if (ctx.failed()) return;
    e.HVK = sumR;
    e.HVE1 = sumL;
    finish_inlet(ctx, i);
}

// ---------------------------------------------------------------------------
// Screen with a given water-level difference

void hyarec_wsp_diff(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    const float dh = screen_difference(ctx, i);
    const float hvOld = e.HVE1;
    // the inlet depth is the outlet depth raised by the given difference
    const float h = e.res[1].h + dh;
    qergeo(ctx, "HYAREC", 2, i, e.L);
    if (ctx.failed()) return;
    Section& c = ctx.cs.sec[2];
    float A = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
    qerhya(ctx, e.res[2].Q, h, A, B, dhy, v, I, he);
    c.h = h;
    c.A = A;
    c.B = B;
    c.dhy = dhy;
    c.v = v;
    c.I = I;
    c.he = he;
    e.HVE1 = he - e.res[1].he;
    finish_inlet(ctx, i);
    if (e.zeta > kTiny && dh > kTiny && e.HVE1 < hvOld) e.res[2].bem[5] = "he";
}

// ---------------------------------------------------------------------------
// In- and outlets inside the system

void hyaqzu(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    Qercmn& cs = ctx.cs;
    cs.len = e.L;
    cs.dx = e.L;
    prf21(ctx);
    qergeo(ctx, "HYAQZU", 2, i, e.L);
    hevgl(ctx, "HYAQZU", 2, i, e.L);
    if (ctx.failed()) return;
    e.HVK = cs.hR;
    e.HVE1 = cs.hB + cs.hL;
    finish_inlet(ctx, i);
    report_end(ctx, i, 2);
}

// ---------------------------------------------------------------------------
// Pump

void hyapum(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    const float h = p.pumpe[static_cast<size_t>(k)].H;
    clear_remarks(ctx);
    qergeo(ctx, "HYAPUM", 1, i, 0.0f);
    if (ctx.failed()) return;
    const float Q = e.res[1].Q;
    float A = 0, A2 = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
    fkthya(ctx, "HYAPUM", Q, h, A, A2, B, dhy, v, I, he);
    if (ctx.failed()) return;
    Section& c = cs.sec[2];
    c.h = h;
    c.A = A;
    c.B = B;
    c.dhy = dhy;
    c.v = v;
    c.I = I;
    c.he = he;
    store_end(ctx, i, 1);
    store_end(ctx, i, 2);
    e.res[1].Tau = e.res[2].Tau = tau(dhy, I);
    e.HVU = he;
    velocity_remarks(ctx, v);
    for (int s = 1; s <= 5; ++s) e.res[1].bem[s] = cs.bem[s];
    move_remarks(ctx, i, 2);
    report_end(ctx, i, 2);

    // the delivery head: energy difference to the element delivered into
    const Downstream d = downstream(ctx, i);
    if (d.type == T_Z)
        e.HVU = (e.res[1].z + e.res[1].he) - (d.he + d.z);
    else
        e.HVU = (e.res[2].z + e.res[2].he) - (d.he + d.z);
}

// ---------------------------------------------------------------------------
// Measurement flume

void hyames(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    const MeasFlumeData& m = p.mes[static_cast<size_t>(k)];
    auto& rec = p.wsp.throat[static_cast<size_t>(k)];

    // what the halves change and the end restores
    const float L0 = e.L, zeta0 = e.zeta, hvs0 = e.hvs;
    const EndProfile down0 = e.prof[kProfDown], up0 = e.prof[kProfUp];

    // the throat: a rectangle of the throat width between the means of the
    // first two heights of both ends
    EndProfile throat;
    throat.T[0] = down0.T[0];
    throat.T[1] = 'T';
    throat.HS = 0.5f * (down0.HS + up0.HS);
    throat.n = 1;
    throat.H[0] = 0.5f * (down0.H[0] + up0.H[0]);
    throat.H[1] = 0.5f * (down0.H[1] + up0.H[1]);
    throat.B[0] = throat.B[1] = m.b;
    const float zThroat = 0.5f * (down0.Z + up0.Z - m.s);

    auto restore = [&] {
        e.L = L0;
        e.zeta = zeta0;
        e.hvs = hvs0;
        e.prof[kProfDown] = down0;
        e.prof[kProfUp] = up0;
        cs.loaded = 0;
    };

    // 1. first half: from the outlet to below the throat
    e.L = 0.5f * L0;
    e.zeta = 0.0f;
    e.hvs = 0.0f;
    e.prof[kProfUp] = throat;
    e.prof[kProfUp].Z = zThroat;
    cs.loaded = 0;
    float x = 0.0f, sumR1 = 0.0f, sumL1 = 0.0f;
    ber0i(ctx, "HYAMES", i, x, e.L, sumR1, sumL1);
    if (ctx.failed()) return restore();
    {
        const Section& c = cs.sec[2];
        ThroatRecord& t = rec[1];
        t.wsp = zThroat + c.h;
        t.h = c.h;
        t.A = c.A;
        t.v = c.v;
        t.Tau = tau(c.dhy, c.I);
        t.he = c.he;
        t.hvk = sumR1;
        t.hve = sumL1;
    }

    // 2. the sill: a step of the sill height at no length
    prf21(ctx);
    e.L = 0.0f;
    e.prof[kProfDown] = throat;
    e.prof[kProfDown].Z = zThroat;
    e.prof[kProfUp] = throat;
    e.prof[kProfUp].Z = zThroat + m.s;
    cs.loaded = 0;
    cs.len = 0.0f;
    cs.dx = 0.0f;
    qergeo(ctx, "HYAMES", 2, i, 0.0f);
    hevgl(ctx, "HYAMES", 2, i, 0.0f);
    if (ctx.failed()) return restore();
    const float throatLoss = sumL1 + cs.hB + cs.hL;
    if (cs.bem[1] != "gr") cs.bem[5] = "uv";
    {
        const Section& c = cs.sec[2];
        ThroatRecord& t = rec[2];
        t.wsp = zThroat + m.s + c.h;
        t.h = c.h;
        t.A = c.A;
        t.v = c.v;
        t.Tau = tau(c.dhy, c.I);
        t.he = c.he;
        t.hvk = sumR1;
        t.hve = throatLoss;
    }
    report_section(ctx, i, "M");

    // 3. second half: from the sill to the inlet
    e.prof[kProfDown] = throat;
    e.prof[kProfDown].Z = zThroat + m.s;
    e.prof[kProfUp] = up0;
    e.zeta = zeta0;
    e.hvs = hvs0;
    e.L = 0.5f * L0;
    cs.loaded = 0;
    x = 0.0f;
    float sumR2 = 0.0f, sumL2 = 0.0f;
    ber0i(ctx, "HYAMES", i, x, e.L, sumR2, sumL2);
    if (ctx.failed()) return restore();

    e.HVK = sumR1 + sumR2;
    e.HVE1 = sumL2 + throatLoss;
    finish_inlet(ctx, i);
    restore();
}

// ---------------------------------------------------------------------------
// Wall with openings

void hyawan(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Plant& p = ctx.plant;
    Element& e = p.el[i];
    Qercmn& cs = ctx.cs;
    const int k = ordinal(ctx, i);
    WallData& w = p.wand[static_cast<size_t>(k)];
    const bool gate = e.kurzbez == "Schuetz";
    const int n = std::max(w.n, 1);
    const float a = w.H;
    const float Q = e.res[1].Q;
    w.formulaGoverns = false;
    clear_remarks(ctx);

    // 1.-2. the energy height below the wall, measured from the wall's invert
    const Downstream d = downstream(ctx, i);
    const float zw = e.res[1].z;
    float dz, heOut, hOut;
    if (d.type == T_Z) {
        dz = zw - d.z;
    } else {
        dz = zw - d.zmean;
    }
    heOut = d.he - dz;
    hOut = d.h - dz;
    (void)hOut;

    // 3. the state in one opening
    cs.dE = 0.0f;
    hvonhe(ctx, "HYAWAN", 1, i, 0.0f, heOut);
    if (ctx.failed()) return;
    const float deficit = cs.dE;
    Section& c = cs.sec[2];
    EndResult& ro = e.res[1];
    ro.v = c.v;
    ro.h = c.h;
    ro.he = c.he;
    ro.dhy = c.dhy;
    ro.I = c.I;
    ro.A = n * c.A;

    // 4. the jet's velocity head is lost below the wall, unless the jet
    // leaves at critical depth
    if (deficit <= 0.00004f && !gate) {
        ro.h = ro.he;
        float A = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
        qerhya(ctx, cs.Qx, ro.h, A, B, dhy, v, I, he);
        ro.A = n * A;
        ro.v = v;
        ro.dhy = dhy;
        ro.I = I;
        ro.he = vhead(v) + ro.h;
        e.HVU = vhead(v);
    } else if (deficit > 0.00004f) {
        e.HVU = deficit;
        cs.bem[1] = "gr";
    }
    ro.Tau = tau(ro.dhy, ro.I);

    // 5. remarks at the outlet
    if (ro.h > profile_top(e.prof[kProfDown])) cs.bem[3] = "ü";
    if (ro.v < p.all.Vmin) cs.bem[4] = "v";
    if (ro.h < a) cs.bem[5] = "FS";
    move_remarks(ctx, i, 1);
    report_end(ctx, i, 1);

    // 6. single loss through the opening
    const float vh = vhead(ro.v);
    if (e.hvs <= kTiny)
        e.HVE1 = ro.v * ro.v * (e.zeta - 1.0f) * 0.5f * kInvGravity;
    else
        e.HVE1 = std::max(e.hvs - vh, kTiny);
    const float heIn = ro.he + e.HVE1;
    if (deficit <= 0.00004f && ro.h > a) {
        e.HVE1 += e.HVU;
        e.HVU = 0.0f;
    }

    // 7. the state at the inlet
    hvonhe(ctx, "HYAWAN", 2, i, 0.0f, heIn);
    if (ctx.failed()) return;
    c.A = n * c.A;
    if (gate && c.h > a) {
        vena_contracta(ctx, i, k);
        if (ctx.failed()) return;
    }

    // 8. the outflow formula, when the opening runs free
    if (w.formula && ro.bem[1] == "gr") {
        float A = 0, B = 0, dhy = 0, v = 0, I = 0, he = 0;
        qerwan(ctx, i);
        qerhya(ctx, cs.Qx, a, A, B, dhy, v, I, he);
        const float Aa = n * A;
        const float qcap = schuetzformel('Q', a, Aa, w.mue);
        if (qcap < Q) {
            w.formulaGoverns = true;
            const float hreq = schuetzformel('h', Q, Aa, w.mue);
            const Section inlet = cs.sec[2];
            const int u = e.izu[1];
            if (u >= 1 && u <= p.nsys) {
                qergeo(ctx, "HYAWAN", 1, u, 0.0f);
                if (ctx.failed()) return;
            }
            qerhya(ctx, Q, hreq, A, B, dhy, v, I, he);
            if (he < inlet.he) {
                cs.sec[2] = inlet;
                cs.bem[5] = "ZT";
            } else {
                c.h = hreq;
                c.A = A;
                c.B = B;
                c.dhy = dhy;
                c.v = v;
                c.I = I;
                c.he = he;
                e.HVE1 = he - ro.he;
                cs.bem[5] = "µ";
            }
        }
    }

    // 9. remarks at the inlet
    if (c.v < p.all.Vmin) cs.bem[4] = "v";
    if (c.h < a) cs.bem[5] = "FS";
    if (c.h > profile_top(e.prof[kProfUp])) cs.bem[3] = "ü";
    store_end(ctx, i, 2);
    e.res[2].Tau = tau(c.dhy, c.I);
    move_remarks(ctx, i, 2);
    report_end(ctx, i, 2);
}

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
