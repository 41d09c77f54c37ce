#include "hydraulics/hydraul.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/geomet.h"
#include "hydraulics/hyd_abort.h"
#include "hydraulics/root_steps.h"
#include "hydraulics/mathe.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::hyd {

namespace {
constexpr float g = kGravity;
constexpr float rg = kInvGravity;    // 1/g
constexpr float g2 = 19.6133f;       // 2g
}  // namespace

// ---------------------------------------------------------------------------
// Friction

float lambda(float k, float v, float d) {
    if (d < 1e-4f || v < 1e-4f || k < 1e-6f) return 0.0f;
    const float re = v * d * 763358.75f;         // v d / nu
    const float r = (k / d) * 0.26954177f;       // (k/d) / 3.71
    const float a = (re >= 2300.0f) ? 2.51f / re : 0.0010913043f;
    float x = 1.14f - 2.0f * std::log10(k / d);  // start value of 1/sqrt(lambda)
    // fixed-point iteration of Prandtl-Colebrook; it contracts strongly, the
    // step bound only guards against a pathological argument
    for (int it = 0; it < 1000; ++it) {
        const float xn = -2.0f * std::log10(x * a + r);
        const bool done = std::fabs(xn - x) <= 1e-4f;
        x = xn;
        if (done) break;
    }
    const float lam = 1.0f / (x * x);
    if (re >= 2300.0f) return lam;
    return std::max(96.0f / re, lam);
}

namespace {

float friction_slope_of(float K, float v, float dhy) {
    if (K <= 19.0f) return lambda(K, v, dhy) * v * v * 0.5f * rg / dhy;
    const float r23 = std::pow(0.25f * dhy, 0.66667f);
    const float q = v / (K * r23);
    return q * q;
}

// The energy equation evaluates the known section again with every trial
// depth of the unknown one: the last two states and their slopes are kept
// (per thread), which spares about a third of the friction-factor iterations.
struct FrictionMemo {
    struct Entry {
        float K = -1.0f, v = 0.0f, dhy = 0.0f, IR = 0.0f;
    };
    Entry e[2];
    int next = 0;
};
thread_local FrictionMemo memo;

}  // namespace

float friction_slope(float K, float v, float dhy) {
    if (dhy <= 0.0f) return 0.0f;
    for (const FrictionMemo::Entry& m : memo.e)
        if (m.K == K && m.v == v && m.dhy == dhy) return m.IR;
    FrictionMemo::Entry& m = memo.e[memo.next];
    memo.next ^= 1;
    m = {K, v, dhy, friction_slope_of(K, v, dhy)};
    return m.IR;
}

// ---------------------------------------------------------------------------
// State at a depth

void fkthya(RunContext& ctx, std::string_view name, float Q, float h, float& A, float& A2,
            float& B, float& dhy, float& v, float& IR, float& hE) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    int zone = 0, part = 0;
    for (int k = 1; k <= cs.nbrm; ++k) {
        const BermZone& z = cs.brm[k];
        if (z.z0 < h && h < z.z2 && z.z2 < 9999.0f) {
            zone = k;
            part = (h < z.z1) ? 1 : 2;
            break;
        }
    }
    qerhya(ctx, Q, h, A, B, dhy, v, IR, hE);
    A2 = A;
    if (zone == 0 || Q <= 0.0f) return;

    // inside a berm zone: the replacement energy curve defines the state
    const BermZone& z = cs.brm[zone];
    const auto& c = (part == 1) ? z.c1 : z.c2;
    hE = c[0] + c[1] * h + c[2] * h * h;
    if (hE - h > -0.005f && hE - h < kTiny) hE = h + kTiny;
    if (hE - h < 0.0f) {
        abort_run(ctx, 101, name);
        return;
    }
    A = Q / std::sqrt(g2 * std::max(hE - h, kTiny));
    B = (1.0f - (c[1] + 2.0f * c[2] * h)) * g * A * A * A / (Q * Q);
    v = Q / A;
    const float kc = z.k0 + z.k1 * h;
    if (cs.K <= 19.0f) {
        const float kst = berm_strickler(cs.K, 19.0f);
        const float y = kc / (kst * A);
        dhy = 4.0f * std::pow(std::max(y, 0.0f), 1.5f);
        IR = dhy > 0.0f ? v * v * 0.5f * rg * lambda(cs.K, v, dhy) / dhy : 0.0f;
    } else {
        const float y = kc / (cs.K * A);
        dhy = 4.0f * std::pow(std::max(y, 0.0f), 1.5f);
        const float r23 = std::pow(0.25f * dhy, 0.66667f);
        IR = r23 > 0.0f ? (v / (cs.K * r23)) * (v / (cs.K * r23)) : 0.0f;
    }
}

float berm_strickler(float K, float limit) {
    if (K <= 0.0f) return 1.0f;
    return (K <= limit) ? 25.99641f * std::pow(K, -1.0f / 6.0f) : K;
}

// ---------------------------------------------------------------------------
// Critical depth

namespace {

// Criterion F(h) = 1 - Q^2 B / (g A^3), clipped below at -1e10.
float froude_criterion(RunContext& ctx, float Q, float h) {
    float A, A2, B, dhy, v, IR, hE;
    fkthya(ctx, "HGRENZ", Q, h, A, A2, B, dhy, v, IR, hE);
    if (A <= 0.0f) return -1e10f;
    const float F = 1.0f - Q * Q * B / (g * A * A * A);
    return std::max(F, -1e10f);
}

enum class Search { Root, NoRoot, Failed };

// Regula falsi for the root of F in [lo, hi]; the first trial is lo, the
// second hi. F > 0 at lo gives hc = lo.
Search critical_in(RunContext& ctx, float Q, float lo, float hi, float& hc) {
    int cnt = 0;
    float lower = lo, upper = hi, x = lo, f = 0.0f, f1 = 0.0f;
    for (;;) {
        rfalsi(ctx, "HGRENZ", 0, cnt, lo, hi, lower, upper, x, f);
        if (ctx.failed()) return Search::Failed;
        const bool declared = (cnt >= 3 && f == 0.0f);
        const float F = froude_criterion(ctx, Q, x);
        if (ctx.failed()) return Search::Failed;
        if (cnt == 1) {
            if (F > 0.0f) {
                hc = x;         // subcritical already at the start
                return Search::Root;
            }
            f1 = F;
        } else if (cnt == 2 && f1 * F > 0.0f) {
            return Search::NoRoot;
        }
        if (std::fabs(F) <= 1e-4f || declared) {
            hc = x;
            return Search::Root;
        }
        if (cnt >= 2 && upper - lower < 0.001f) {
            hc = lower;
            return Search::Root;
        }
        f = F;
    }
}

}  // namespace

void hgrenz(RunContext& ctx) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    const float Q = cs.Qx;
    if (Q < kTiny) {
        cs.hc = cs.hEc = cs.Ac = cs.Bc = cs.dc = 0.0f;
        return;
    }
    if (cs.typ == SectionShape::OpenRectangle && cs.B[1] > kTiny) {
        const float b = cs.B[1];
        cs.hc = std::cbrt(Q * Q / (b * b * g));
        cs.hEc = 1.5f * cs.hc;
        cs.Ac = cs.hc * b;
        cs.Bc = b;
        cs.dc = 4.0f * cs.Ac / (2.0f * cs.hc + b);
        return;
    }

    const int n = cs.n;
    const bool open = cs.T[0] != 'g';
    float start = 0.001f;
    bool found = false;
    float hc = 0.0f;
    for (int i = 1; i <= n && !found; ++i) {
        const float top = cs.H[i + 1];
        if (top <= start) {
            if (i == n) {
                hc = top;
                found = true;
            }
            continue;
        }
        int zone = 0;
        for (int k = 1; k <= cs.nbrm; ++k)
            if (cs.brm[k].z2 < 9999.0f && cs.brm[k].z0 >= cs.H[i] && cs.brm[k].z0 < top &&
                cs.brm[k].z2 > start)
                zone = k;
        if (zone > 0) {
            const BermZone& z = cs.brm[zone];
            if (std::fabs(z.c1[2]) < kTiny && std::fabs(z.c2[2]) < kTiny &&
                z.c1[1] * z.c2[1] < 0.0f) {
                hc = z.z1;       // straight replacement lines meeting in a minimum
                found = true;
                break;
            }
            const float end = z.z2 - 1e-7f;
            const Search r = critical_in(ctx, Q, start, end, hc);
            if (r == Search::Failed) return;
            if (r == Search::Root) {
                found = true;
                break;
            }
            start = std::max(end + 2e-7f, kTiny);
            --i;                 // continue in the same segment above the zone
            continue;
        }
        if (open && i == n) {
            // topmost segment of an open section: half-metre intervals upwards
            for (float lo = start; lo < 9999.0f; lo += 0.5f) {
                const Search r = critical_in(ctx, Q, lo, lo + 0.5f, hc);
                if (r == Search::Failed) return;
                if (r == Search::Root) {
                    found = true;
                    break;
                }
            }
            break;
        }
        const float end = top - 1e-7f;
        const Search r = critical_in(ctx, Q, start, end, hc);
        if (r == Search::Failed) return;
        if (r == Search::Root) {
            found = true;
            break;
        }
        start = std::max(end + 2e-7f, kTiny);
    }
    if (!found && !open) {
        hc = cs.H[n + 1];
        if (cs.X > kTiny) {
            // crown arch: last search between the top of the walls and the apex
            const Search r = critical_in(ctx, Q, cs.H[n + 1], cs.Htop, hc);
            if (r == Search::Failed) return;
            if (r == Search::NoRoot) hc = cs.Htop;
        }
    }
    float A, A2, B, dhy, v, IR, hE;
    fkthya(ctx, "HGRENZ", Q, hc, A, A2, B, dhy, v, IR, hE);
    if (ctx.failed()) return;
    cs.hc = hc;
    cs.Ac = A;
    cs.Bc = B;
    cs.dc = dhy;
    cs.hEc = (A > 0.0f) ? hc + Q * Q / (A * A * g2) : hc;
}

// ---------------------------------------------------------------------------
// Depth from energy

void hvonhe(RunContext& ctx, std::string_view name, int s, int i, float x, float E) {
    if (ctx.failed()) return;
    const std::string nm = support::trim(name);
    if (!nm.empty() && support::contains("HYAWANVenaContracta", nm)) {
        if (s == 1) qerwan(ctx, i);       // one opening of the wall
    } else if (!nm.empty() && support::contains("HYATAU", nm)) {
        qertau(ctx, i);                   // one tube
    } else {
        qergeo(ctx, nm, s, i, x);
    }
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    Section& sc = cs.sec[2];
    cs.dE = 0.0f;
    const float Q = cs.Qx;
    const float Ed = E - (cs.Zx - cs.sec[1].z);   // energy above the invert of this section

    auto evaluate = [&](float h) {
        fkthya(ctx, nm, Q, h, sc.A, sc.Ag, sc.B, sc.dhy, sc.v, sc.I, sc.he);
        sc.h = h;
        return Ed - sc.he;
    };

    if (Q <= 1.1e-5f) {
        evaluate(std::max(Ed, cs.hc));
    } else {
        int cnt = 0;
        float lower = cs.hc, upper = Ed, h = cs.hc, f = 0.0f;
        const float tol = eps_d_4(std::fabs(Ed), 1e-5f);
        for (;;) {
            rfalsi(ctx, nm, 0, cnt, cs.hc, Ed - 1e-5f, lower, upper, h, f);
            if (ctx.failed()) return;
            const bool declared = (cnt >= 3 && f == 0.0f);
            const float F = evaluate(h);
            if (ctx.failed()) return;
            if (cnt == 1 && F < 0.0f) {
                // below the critical energy: the depth stays critical
                cs.bem[1] = "gr";
                cs.dE = -F;
                break;
            }
            if ((cnt >= 3 && std::fabs(F) <= tol) || declared) break;
            f = F;
        }
    }
    if (sc.h > cs.Htop) cs.bem[3] = "ü ";
}

// ---------------------------------------------------------------------------
// Closed sections

float qtvoll(RunContext& ctx, float y) {
    if (ctx.failed()) return -1.0f;
    float A, A2, B, dhy, v, IR, hE;
    fkthya(ctx, "QTVOLL", ctx.cs.Qx, y, A, A2, B, dhy, v, IR, hE);
    if (ctx.failed()) return -1.0f;
    if (dhy <= 0.001f) return 0.0f;
    const float K = ctx.cs.K;
    if (K > 19.0f) {
        // Strickler roughness: Manning-Strickler capacity for unit slope
        return K * A * std::pow(0.25f * dhy, 0.66667f);
    }
    const float r = std::sqrt(g2 * dhy);
    return -2.0f * std::log10(K / (3.71f * dhy) + 3.2881e-6f / (dhy * r)) * r * A;
}

float hzu(RunContext& ctx, int s) {
    if (ctx.failed()) return 0.0f;
    Qercmn& cs = ctx.cs;
    if (cs.T[0] != 'g') {
        cs.hfull[s] = 9999.9f;
        return 0.0f;
    }
    float res;
    if (cs.X <= 0.01f) {
        res = 0.8f * cs.Htop;
    } else {
        // depth of the largest capacity
        float y = 0.5f * cs.H[cs.n + 1];
        float step = 0.05f * y;
        float qbest = qtvoll(ctx, y);
        for (int it = 0; it < 10000 && std::fabs(step) >= 0.001f; ++it) {
            y += step;
            const float q = qtvoll(ctx, y);
            if (ctx.failed()) return 0.0f;
            if (q > qbest && y > 0.0f && y <= cs.Htop) {
                qbest = q;
            } else {
                y -= step;
                step = -0.5f * step;
            }
        }
        res = y;
    }
    return std::max(res, cs.Htop - 0.1f);
}

// ---------------------------------------------------------------------------
// Hydrostatic force

float pstat(RunContext& ctx, float h) {
    const Qercmn& cs = ctx.cs;
    if (h <= 0.0f) return 0.0f;
    float p = 0.0f;
    const int n = cs.n;
    const bool krohr = cs.typ == SectionShape::CircularPipe;
    for (int i = 1; i <= n; ++i) {
        const float hi = cs.H[i];
        if (h <= hi) break;
        if (i == 1 && cs.T[1] == 'K') {
            // circular bottom in slices of about 1 cm
            const float top = krohr ? std::min(h, cs.D) : std::min(h, cs.H[2]);
            int N = static_cast<int>(100.0f * top);
            if (N < 1) N = 1;
            const float t = top / static_cast<float>(N);
            float Alo = 0.0f, B, U;
            for (int k = 1; k <= N; ++k) {
                const float zt = t * static_cast<float>(k);
                float Ahi;
                kreis(zt, cs.D, Ahi, B, U);
                p += (Ahi - Alo) * (h - (zt - 0.5f * t));
                Alo = Ahi;
            }
            if (krohr) return p * g;
            continue;
        }
        const float seg = cs.H[i + 1] - hi;
        const float dz = std::min(seg, h - hi);
        const float db = seg > 0.0f ? (cs.B[i + 1] - cs.B[i]) * dz / seg : 0.0f;
        p += (h - (hi + 0.5f * dz)) * dz * cs.B[i] + (h - (hi + 0.66667f * dz)) * dz * db * 0.5f;
    }
    if (h > cs.H[n + 1]) {
        const float dz = h - cs.H[n + 1];
        p += 0.5f * dz * dz * cs.B[n + 1];
    }
    return p * g;
}

// ---------------------------------------------------------------------------
// Loss at a change of section

float hvboca(float zeta, float v1, float v2, float A1, float A2, float s) {
    float w = 0.0f;
    if (s > kTiny && A2 > kTiny && A1 > A2) {
        // expansion over a distance: the jet widens at about 1:7 to 1:3.5
        const float alo = (0.175f * s + std::sqrt(A2)) * (0.175f * s + std::sqrt(A2));
        const float ahi = (0.35f * s + std::sqrt(A2)) * (0.35f * s + std::sqrt(A2));
        if (A1 <= alo) w = 0.0f;
        else if (A1 >= ahi) w = 1.0f;
        else w = (A1 - alo) / (ahi - alo);
    } else if (s <= kTiny) {
        w = (zeta > kTiny) ? zeta : (A1 <= A2 ? 0.5f : 1.2f);
    }
    if (A1 <= kTiny || A2 <= kTiny) return kTiny;
    float hv;
    if (v1 < 0.01f) {
        const float r = 1.0f - A2 / A1;
        hv = v2 * v2 * r * r * w * 0.5f * rg;
    } else {
        const float r = 1.0f - A1 / A2;
        hv = v1 * v1 * r * r * w * 0.5f * rg;
    }
    if (zeta <= kTiny) hv = std::min(hv, std::fabs(v1 * v1 - v2 * v2) * 0.5f * rg);
    return hv;
}

}  // namespace rivola::hyd
