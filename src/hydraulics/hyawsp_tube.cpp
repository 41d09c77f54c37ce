// Element computations of the water-level walk for pipes with holes and
// siphons: immersion tubes (perforated tubes closed at their upper end) and
// the pipes of siphon weirs.
#include "hydraulics/hyawsp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "hydraulics/geomet.h"
#include "hydraulics/hyawsp_util.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/hydraul_wsp.h"
#include "messages/m_realwin.h"
#include "messages/m_rivola_error.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::hyd {

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
