// Berm zones. Where a section widens suddenly (a berm), the Froude criterion
// jumps and the energy curve h + Q^2/(2g A^2) gets a spurious extremum just
// above the berm: the depth from energy and the critical depth would jump
// between the main channel and the flood plain. Between the berm height z0
// and an upper bound z2 the energy curve is therefore replaced by two joined
// parabolas (or straight lines) that start with the slope of the main channel
// at the berm and meet the real curve at z2, and the conveyance by a straight
// line between its values at z0 and z2.
#include <algorithm>
#include <cmath>
#include <string>

#include "messages/m_rivola_error.h"
#include "hydraulics/geomet.h"
#include "hydraulics/hyd_abort.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/root_steps.h"
#include "hydraulics/mathe.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::hyd {

namespace {

constexpr float g = kGravity;
constexpr float g2 = 19.6133f;


// Conveyance k_St A R^(2/3) from the area and the wetted perimeter.
float conveyance(float kst, float A, float U) {
    if (A <= 0.0f || U <= 0.0f) return 0.0f;
    return kst * A * std::pow(A / U, 0.66667f);
}

// Energy height of the real section at depth h for Q (no replacement).
float energy_real(RunContext& ctx, float Q, float h) {
    float A, B, U;
    qerhya_geo(ctx, h, A, B, U);
    if (A <= 0.0f) return 1e30f;
    return h + Q * Q / (g2 * A * A);
}

}  // namespace

// ---------------------------------------------------------------------------

void chkbrm(RunContext& ctx, float x) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    cs.nbrm = 0;
    cs.brm = {};
    const float Q = cs.Qx;
    if (cs.n <= 1) return;
    const float Q2 = Q * Q;
    for (int i = 1; i <= cs.n - 1; ++i) {
        const int p = i + 1;
        const float A = cs.A[p], B = cs.B[p];
        if (A <= 0.0f) continue;
        const float F1 = 1.0f - Q2 * B / (A * A * A * g);
        if (!(F1 > -1000.0f && F1 < 0.99f)) continue;
        const float dh = cs.H[p + 1] - cs.H[p];
        if (dh <= 0.0f) continue;
        const float Ap = A + (B + 0.5f * (cs.B[p + 1] - B)) * 1e-5f;
        const float Bp = B + 1e-5f / dh * (cs.B[p + 1] - B);
        const float F2 = 1.0f - Q2 * Bp / (Ap * Ap * Ap * g);
        if ((F1 - F2) / (Q2 / (g2 * A * A) + cs.H[p]) > 1e-4f) {
            if (cs.nbrm >= kMaxBerms) {
                abort_run(ctx, 82);
                return;
            }
            ++cs.nbrm;
            cs.brm[cs.nbrm].z0 = cs.H[p];
            cs.brm[cs.nbrm].ip = p;
        }
    }
    if (cs.nbrm > 0) berme(ctx, x, Q);
}

// ---------------------------------------------------------------------------

void berme(RunContext& ctx, float /*x*/, float Q) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    const float kst = berm_strickler(cs.K, 19.0f);
    for (int k = 1; k <= cs.nbrm; ++k) {
        BermZone& z = cs.brm[k];
        const float z0 = z.z0;
        const int ip = z.ip;
        const bool hasNext = k < cs.nbrm;
        const float znext = hasNext ? cs.brm[k + 1].z0 : kNotSet;

        // state just below the berm
        float A, A2, B, dhy, v, IR, hE;
        const float hb = z0 - 1e-7f;
        int below = 0;
        for (int m = 1; m < k; ++m)
            if (cs.brm[m].z0 < hb && hb < cs.brm[m].z2 && cs.brm[m].z2 < 9999.0f) below = m;
        fkthya(ctx, "BERME1", Q, hb, A, A2, B, dhy, v, IR, hE);
        if (ctx.failed()) return;
        const float E0 = hE;
        const float Kc0 = (dhy > 0.0f) ? kst * A * std::pow(0.25f * dhy, 0.66667f) : 0.0f;
        float s0;
        if (below > 0) {
            const BermZone& zb = cs.brm[below];
            const auto& c = (hb < zb.z1) ? zb.c1 : zb.c2;
            s0 = c[1] + 2.0f * c[2] * hb;
        } else {
            const float Ab = cs.A[ip], Bb = cs.B[ip];
            s0 = 1.0f - Q * Q * Bb / (g * Ab * Ab * Ab);
        }
        z.E0 = E0;
        z.s0 = s0;

        float ht = z0, Et = E0;
        tangnt(ctx, k, Q, ht, Et);
        if (ctx.failed()) return;
        float z2 = hoben(ctx, k, ht);
        if (ctx.failed()) return;

        // state at the upper bound
        float E2, A2s, B2s, Kc2;
        if (hasNext && z2 > znext) {
            const int pn = cs.brm[k + 1].ip;
            A2s = (z2 - znext) * cs.B[pn] + cs.A[pn];
            B2s = cs.B[pn];
            E2 = z2 + Q * Q / (g2 * A2s * A2s);
            const float U2 = cs.U[pn] + 2.0f * (z2 - znext);
            Kc2 = conveyance(kst, A2s, U2);
        } else {
            fkthya(ctx, "BERME2", Q, z2, A, A2, B, dhy, v, IR, hE);
            if (ctx.failed()) return;
            A2s = A;
            B2s = B;
            E2 = hE;
            Kc2 = (dhy > 0.0f) ? kst * A * std::pow(0.25f * dhy, 0.66667f) : 0.0f;
        }
        const float s2 = (A2s > 0.0f) ? 1.0f - Q * Q * B2s / (g * A2s * A2s * A2s) : 1.0f;

        // replacement curves
        z.z2 = z2;
        if (z2 - z0 >= 0.005f) {
            float xm = (z2 - z0 <= 0.0095f) ? 0.5f * (z0 + z2) : splmit(z0, E0, s0, z2, E2, s2);
            for (int it = 0; it < 100; ++it) {
                if (xm - z0 < 0.005f || z2 - xm < 0.005f) {
                    // straight lines: the tangent, then the chord to the real curve
                    z.c1 = {E0 - s0 * z0, s0, 0.0f};
                    const float sl = (z2 - ht > 1e-5f) ? (E2 - Et) / (z2 - ht) : 0.0f;
                    z.c2 = {Et - sl * ht, sl, 0.0f};
                    z.z1 = ht;
                    break;
                }
                Matrix10 a;
                Vector10 r, sol{};
                matrix(z0, xm, z2, E0, E2, s0, s2, a, r);
                gauss(ctx, kGaussDim, 6, a.data(), r.data(), sol.data());
                if (ctx.failed()) return;
                if (sol[5] > 1e-5f) {
                    z.c1 = {sol[0], sol[1], sol[2]};
                    z.c2 = {sol[3], sol[4], sol[5]};
                    z.z1 = xm;
                    break;
                }
                xm = 0.5f * (xm + z0);
            }
        } else {
            const float sl = (z2 - z0 > 1e-5f) ? (E2 - E0) / (z2 - z0) : 0.0f;
            z.c1 = {E0 - sl * z0, sl, 0.0f};
            z.c2 = z.c1;
            z.z1 = z2;
        }
        // a zone reaching past the next berm ends there
        if (hasNext && z.z2 > znext) {
            z.z2 = znext;
            if (z.z1 > znext) {
                z.z1 = znext;
                z.c2 = z.c1;
            }
        }
        // conveyance line across the zone
        z.k1 = (z2 - z0 > 1e-5f) ? (Kc2 - Kc0) / (z2 - z0) : 0.0f;
        z.k0 = Kc0 - z0 * z.k1;
    }
}

// ---------------------------------------------------------------------------

namespace {

// Conveyance of the section continued with vertical walls from the berm of
// zone k, minus that of the real section (itself continued with vertical walls
// above the next berm).
float hoben_criterion(RunContext& ctx, int k, float y, float kst) {
    const Qercmn& cs = ctx.cs;
    const BermZone& z = cs.brm[k];
    const int ip = z.ip;
    const float Aw = (y - z.z0) * cs.B[ip] + cs.A[ip];
    const float Uw = 2.0f * (y - z.z0) + cs.U[ip];
    float Ar, Br, Ur;
    if (k < cs.nbrm && y > cs.brm[k + 1].z0) {
        const int pn = cs.brm[k + 1].ip;
        Ar = (y - cs.brm[k + 1].z0) * cs.B[pn] + cs.A[pn];
        Ur = 2.0f * (y - cs.brm[k + 1].z0) + cs.U[pn];
    } else {
        qerhya_geo(ctx, y, Ar, Br, Ur);
    }
    return conveyance(kst, Aw, Uw) - conveyance(kst, Ar, Ur);
}

// One search for the height where both conveyances agree; false when it took
// more than 1000 steps.
bool hoben_search(RunContext& ctx, int k, float kst, bool trace, float& found) {
    Qercmn& cs = ctx.cs;
    const BermZone& z = cs.brm[k];
    const bool open = cs.T[0] != 'g';
    // last real break point: the open top extension is searched in 0.1 m steps
    const int last = open ? cs.n : cs.n + 1;
    int steps = 0;
    auto F = [&](float y) {
        const float f = hoben_criterion(ctx, k, y, kst);
        if (trace) {
            checks::outqqq_line(ctx, "HOBEN  y = " + support::fmt_f(y, 10, 4) +
                                         "  F = " + support::fmt_f(f, 14, 4));
        }
        ++steps;
        return f;
    };
    float lo = z.z0;
    int j = z.ip + 1;
    for (;;) {
        if (steps > 1000) return false;
        float hi;
        if (j <= last) hi = cs.H[j];
        else if (open) hi = lo + 0.1f;
        else {
            found = cs.Htop;   // no crossing below the top of a closed section
            return true;
        }
        const float fhi = F(hi);
        if (fhi > 0.01f) {
            lo = hi;
            ++j;
            continue;
        }
        // the sign change lies between lo and hi: bisection
        int cnt = 0;
        char flag = ' ';
        float y = lo;
        float fy = F(y);
        itmnmx(ctx, 0, cnt, y, fy, 0.001f, 0.0f, flag);
        y = hi;
        itmnmx(ctx, 0, cnt, y, fhi, 0.001f, 0.0f, flag);
        if (flag == '0') {
            // both ends on one side: no crossing in this segment
            if (fhi <= 0.0f) {
                found = lo;
                return true;
            }
            lo = hi;
            ++j;
            continue;
        }
        while (flag != 'T') {
            if (steps > 1000) return false;
            fy = F(y);
            itmnmx(ctx, 0, cnt, y, fy, 0.001f, 0.0f, flag);
        }
        found = y;
        return true;
    }
}

}  // namespace

float hoben(RunContext& ctx, int zone, float ht) {
    if (ctx.failed()) return 0.0f;
    Qercmn& cs = ctx.cs;
    const BermZone& z = cs.brm[zone];
    const float start = 2.0f * ht - z.z0;
    if (cs.T[0] == 'g' && start >= cs.Htop) return cs.Htop;
    const float kst = berm_strickler(cs.K, 25.0f);
    float found = start;
    if (!hoben_search(ctx, zone, kst, false, found)) {
        checks::fehler(ctx, "OUTQQQ");
        if (!hoben_search(ctx, zone, kst, true, found)) {
            abort_run(ctx, 105);
            return 0.0f;
        }
    }
    return std::max(found, start);
}

// ---------------------------------------------------------------------------

void tangnt(RunContext& ctx, int zone, float Q, float& ht, float& Et) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    const BermZone& z = cs.brm[zone];
    const float h0 = z.z0, E0 = z.E0, s0 = z.s0;
    auto gap = [&](float h) { return energy_real(ctx, Q, h) - (E0 + s0 * (h - h0)); };
    int steps = 0;

    // bisection for the crossing in [lo, hi], where the tangent lies above the
    // energy curve at lo and below it at hi
    auto search = [&](float lo, float hi, auto&& fgap) -> bool {
        for (;;) {
            if (++steps > 1000) {
                abort_run(ctx, 106);
                return false;
            }
            const float m = 0.5f * (lo + hi);
            const float d = fgap(m);
            if (std::fabs(d) <= 1e-4f || hi - lo < 1e-5f) {
                ht = m;
                return true;
            }
            if (d < 0.0f) lo = m;
            else hi = m;
        }
    };

    const bool open = cs.T[0] != 'g';
    float lo = h0;
    for (int j = z.ip + 1; j <= cs.n + 1; ++j) {
        float hj = cs.H[j];
        if (open && j == cs.n + 1) hj = std::max(100.0f, cs.H[cs.n] + 100.0f);
        // a point within the geometric tolerance above the berm (the edge of a
        // horizontal berm) cannot separate the two curves
        if (hj - h0 <= 2e-4f) continue;
        const float d = gap(hj);
        if (d > 0.0f) {
            if (d < 1e-4f) ht = hj;
            else if (!search(lo, hj, gap)) return;
            Et = E0 + s0 * (ht - h0);
            return;
        }
        lo = hj;
    }
    ht = cs.H[cs.n + 1];
    if (!open && cs.X > kTiny) {
        // crown arch: the section's own energy height
        auto gapArch = [&](float h) {
            float A, A2, B, dhy, v, IR, hE;
            fkthya(ctx, "TANGNT", Q, h, A, A2, B, dhy, v, IR, hE);
            return hE - (E0 + s0 * (h - h0));
        };
        if (gapArch(cs.Htop) > 0.0f) {
            if (!search(cs.H[cs.n + 1], cs.Htop, gapArch)) return;
        } else {
            ht = cs.Htop;
        }
    }
    Et = E0 + s0 * (ht - h0);
}

}  // namespace rivola::hyd
