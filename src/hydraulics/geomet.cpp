#include "hydraulics/geomet.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/hydraul.h"
#include "model/context.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::hyd {

// ---------------------------------------------------------------------------
// Profile normalisation

// ---------------------------------------------------------------------------
// Circular segment

void kreis(float h, float D, float& A, float& B, float& U) {
    const float r = 0.5f * D;
    if (h >= D - kTiny) {
        A = kPi * r * r;
        B = 0.0f;
        U = kPi * D;
    } else if (h <= kTiny) {
        A = B = U = 0.0f;
    } else {
        B = 2.0f * std::sqrt(h * (D - h));
        const float c = std::clamp(1.0f - h / r, -1.0f, 1.0f);
        const float theta = 2.0f * std::acos(c);
        A = 0.5f * (r * r * theta - (r - h) * B);
        U = r * theta;
    }
}


// ---------------------------------------------------------------------------
// Profile at a position

namespace {

// Appends a break point to the loaded profile (points beyond the capacity of
// the table are dropped).
void add_point(Qercmn& cs, int& np, float h, float b) {
    if (np >= kMaxPoints) return;
    ++np;
    cs.H[np] = h;
    cs.B[np] = b;
}

// Width of a profile at height h between its points j-1 and j.
float width_at(const EndProfile& p, int j, float h) {
    if (j < 1) return p.B[j];
    const float dh = p.H[j] - p.H[j - 1];
    if (dh <= 1e-5f) return p.B[j];
    return p.B[j - 1] + (p.B[j] - p.B[j - 1]) * (h - p.H[j - 1]) / dh;
}

}  // namespace

void dquer(RunContext& ctx, int s, int i, float x) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    const Element& e = ctx.plant.el[i];
    const float L = e.L;
    if (s == 1 || std::fabs(L - x) <= kTiny) {
        const EndProfile& p = e.prof[s == 1 ? kProfDown : kProfUp];
        cs.n = std::min(p.n, kMaxPoints - 1);
        cs.X = p.HS;
        for (int j = 0; j <= cs.n; ++j) {
            cs.H[j + 1] = p.H[j];
            cs.B[j + 1] = p.B[j];
        }
        cs.Htop = cs.X + cs.H[cs.n + 1];
        return;
    }
    const EndProfile& p1 = e.prof[kProfDown];
    const EndProfile& p2 = e.prof[kProfUp];
    const float w2 = (L < 1e-4f) ? 1.0f : x / L;
    const float w1 = 1.0f - w2;

    if (cs.similar) {
        cs.n = std::min(p1.n, kMaxPoints - 1);
        for (int j = 0; j <= cs.n; ++j) {
            cs.H[j + 1] = w1 * p1.H[j] + w2 * p2.H[j];
            cs.B[j + 1] = w1 * p1.B[j] + w2 * p2.B[j];
        }
        cs.X = w1 * p1.HS + w2 * p2.HS;
        cs.Htop = cs.X + cs.H[cs.n + 1];
        return;
    }

    // Merge the break points of both end profiles.
    const int n1 = p1.n, n2 = p2.n;
    const float hlow = std::min(p1.H[n1], p2.H[n2]);
    const float wt = (p2.H[n2] >= p1.H[n1]) ? w2 : w1;
    int np = 0;
    add_point(cs, np, 0.0f, w1 * p1.B[0] + w2 * p2.B[0]);
    int j1 = std::min(1, n1), j2 = std::min(1, n2);
    bool above = false;
    bool done = false;

    if (p1.T[1] == 'K' && n1 >= 1 && n2 >= 1) {
        // circular bottom: the circle points of both ends form one point
        add_point(cs, np, w1 * p1.H[1] + w2 * p2.H[1], w1 * p1.B[1] + w2 * p2.B[1]);
        j1 = 2;
        j2 = 2;
        while (j1 <= n1 && j2 <= n2) {
            if (p1.H[j1] < p2.H[1]) {
                add_point(cs, np, w1 * p1.H[j1] + w2 * p2.H[1], w1 * p1.B[j1] + w2 * p2.B[1]);
                ++j1;
            } else if (p1.H[1] <= p2.H[j2]) {
                break;
            } else {
                add_point(cs, np, w1 * p1.H[1] + w2 * p2.H[j2], w1 * p1.B[1] + w2 * p2.B[j2]);
                ++j2;
            }
        }
        if (j1 > n1 && j2 > n2) {
            done = true;
        } else if (j1 > n1 || j2 > n2) {
            above = true;
        }
        j1 = std::min(j1, n1);
        j2 = std::min(j2, n2);
    }

    // general merge: one new point per step, cursors held at their last point
    for (int guard = 0; !done && guard < 2 * kMaxPoints; ++guard) {
        const float d = p1.H[j1] - p2.H[j2];
        if ((j1 == n1 && p2.H[j2] > hlow) || (j2 == n2 && p1.H[j1] > hlow)) above = true;
        if (above) {
            add_point(cs, np, hlow + wt * std::fabs(d), w1 * p1.B[j1] + w2 * p2.B[j2]);
        } else {
            const float h = std::min(p1.H[j1], p2.H[j2]);
            float b1 = p1.B[j1], b2 = p2.B[j2];
            if (d > 1e-5f) b1 = width_at(p1, j1, h);
            else if (d < -1e-5f) b2 = width_at(p2, j2, h);
            add_point(cs, np, h, w1 * b1 + w2 * b2);
        }
        if (j1 == n1 && j2 == n2) break;
        bool adv1 = false, adv2 = false;
        if (above) {
            if (p1.H[j1] > hlow) adv1 = true;
            if (p2.H[j2] > hlow) adv2 = true;
        }
        if (d < -1e-5f) adv1 = true;
        else if (d > 1e-5f) adv2 = true;
        else adv1 = adv2 = true;
        if (adv1) j1 = std::min(j1 + 1, n1);
        if (adv2) j2 = std::min(j2 + 1, n2);
    }
    cs.n = np - 1;
    cs.X = (cs.T[0] == 'g') ? w1 * p1.HS + w2 * p2.HS : 0.0f;
    cs.Htop = cs.X + cs.H[cs.n + 1];
}

void qerprf(RunContext& ctx, int s, int i, float x) {
    if (ctx.failed()) return;
    dquer(ctx, s, i, x);
    profile_type(ctx.cs);
}

void profile_type(Qercmn& cs) {
    const int n = cs.n;
    cs.D = (cs.T[1] == 'K' && n >= 1 && cs.H[2] > 0.0f)
               ? cs.B[2] * cs.B[2] * 0.25f / cs.H[2] + cs.H[2]
               : 0.0f;
    cs.Dtop = (cs.T[0] == 'g' && cs.X > kTiny) ? cs.B[n + 1] * cs.B[n + 1] * 0.25f / cs.X + cs.X
                                               : 0.0f;
    cs.typ = SectionShape::Other;
    if (n == 1) {
        const float db = std::fabs(cs.B[1] - cs.B[2]);
        if (db >= kTiny && cs.T[0] == 'g' && cs.T[1] == 'K' &&
            std::fabs(0.5f * cs.B[2] - cs.H[2]) < kTiny && std::fabs(0.5f * cs.B[2] - cs.X) < kTiny)
            cs.typ = SectionShape::CircularPipe;
        if (db < kTiny) cs.typ = (cs.T[0] == 'o') ? SectionShape::OpenRectangle : SectionShape::ClosedRectangle;
    }
}

void mquer(RunContext& ctx) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    for (int i = 1; i <= cs.n; ++i) cs.H[i + 1] = std::max(cs.H[i + 1], cs.H[i] + 1.1e-5f);
    if (cs.T[0] == 'o' && cs.n + 1 < kMaxPoints) {
        // an open section never overtops: its walls go on with the top width
        cs.n += 1;
        cs.H[cs.n + 1] = 9999.99f;
        cs.B[cs.n + 1] = cs.B[cs.n];
    }
    cs.A[1] = 0.0f;
    cs.U[1] = cs.B[1];
    const bool circ = cs.T[1] == 'K';
    if (circ && cs.n == 1 && std::fabs(cs.X - cs.H[2]) < 1e-5f) {
        kreis(2.0f * cs.H[2], cs.D, cs.A[2], cs.B[2], cs.U[2]);   // full circular pipe
        return;
    }
    for (int i = 1; i <= cs.n; ++i) {
        if (i == 1 && circ) {
            kreis(cs.H[2], cs.D, cs.A[2], cs.B[2], cs.U[2]);
            continue;
        }
        const float dh = cs.H[i + 1] - cs.H[i];
        const float db = cs.B[i + 1] - cs.B[i];
        cs.A[i + 1] = cs.A[i] + 0.5f * (cs.B[i] + cs.B[i + 1]) * dh;
        cs.U[i + 1] = cs.U[i] + 2.0f * std::sqrt(0.25f * db * db + dh * dh);
    }
}

// ---------------------------------------------------------------------------
// Area, width and perimeter at a depth

void qerhya_geo(RunContext& ctx, float h, float& A, float& B, float& U) {
    Qercmn& cs = ctx.cs;
    const int n = cs.n;
    if (h < 2e-4f) {
        A = B = U = 0.0f;
        return;
    }
    if (cs.typ == SectionShape::CircularPipe) {
        kreis(h, cs.D, A, B, U);
        return;
    }
    if (cs.typ == SectionShape::OpenRectangle || cs.typ == SectionShape::ClosedRectangle) {
        const float he = (cs.typ == SectionShape::OpenRectangle) ? h : std::min(h, cs.H[n + 1]);
        A = he * cs.B[1];
        U = 2.0f * he + cs.B[1];
        B = cs.B[1];
    } else {
        A = 0.0f;
        U = cs.B[1];
        B = cs.B[1];
        bool inside = false;
        for (int i = 1; i <= n; ++i) {
            const float seg = cs.H[i + 1] - cs.H[i];
            const bool circ = (i == 1 && cs.T[1] == 'K');
            if (h - cs.H[i + 1] <= 2e-4f) {
                if (circ) {
                    kreis(h, cs.D, A, B, U);
                } else {
                    const float dh = h - cs.H[i];
                    const float b = seg > 0.0f ? 0.5f * (cs.B[i + 1] - cs.B[i]) * dh / seg : 0.0f;
                    A += (cs.B[i] + b) * dh;
                    U += 2.0f * std::sqrt(b * b + dh * dh);
                    B = cs.B[i] + 2.0f * b;
                }
                inside = true;
                break;
            }
            if (circ) {
                kreis(cs.H[2], cs.D, A, B, U);
            } else {
                const float hb = 0.5f * (cs.B[i + 1] - cs.B[i]);
                A += (cs.B[i] + hb) * seg;
                U += 2.0f * std::sqrt(hb * hb + seg * seg);
                B = cs.B[i + 1];
            }
        }
        if (!inside && cs.T[0] != 'g') {
            // open section below the surface: vertical walls up to h
            const float ext = h - cs.H[n + 1];
            A += cs.B[n + 1] * ext;
            U += 2.0f * ext;
            B = cs.B[n + 1];
        }
    }
    if (cs.T[0] == 'g' && h + 2e-4f > cs.H[n + 1]) {
        if (cs.X < 2e-4f) {
            U += B;          // flat lid wetted
            B = 0.0f;
        } else {
            // crown arch: the arch segment below the apex minus its empty part
            float Aa, Ba, Ua, Ae = 0.0f, Be = 0.0f, Ue = 0.0f;
            kreis(cs.X, cs.Dtop, Aa, Ba, Ua);
            const float empty = std::min(cs.Htop - h, cs.X);
            if (empty > 0.0f) kreis(empty, cs.Dtop, Ae, Be, Ue);
            A += Aa - Ae;
            U += Ua - Ue;
            B = (h >= cs.Htop) ? 0.0f : Be;
        }
    }
}

void qerhya(RunContext& ctx, float Q, float h, float& A, float& B, float& dhy, float& v,
            float& IR, float& hE) {
    float U = 0.0f;
    qerhya_geo(ctx, h, A, B, U);
    ctx.cs.Uw = U;
    if (h < 2e-4f || U < 2e-4f || A < 2e-4f) {
        dhy = v = IR = 0.0f;
        hE = h;
        return;
    }
    dhy = 4.0f * A / U;
    v = Q / A;
    IR = friction_slope(ctx.cs.K, v, dhy);
    hE = h + v * v * 0.5f * kInvGravity;
}

// ---------------------------------------------------------------------------
// Loading an element

namespace {

// Full height of the end profile at node s of element i (1 downstream, 2
// upstream). The search of the depth of the largest capacity depends on the
// profile alone; its result is kept for the walk, so that the passes of the
// division iteration do not repeat it.
float full_height(RunContext& ctx, int i, int s) {
    std::vector<std::array<float, 3>>& kept = ctx.plant.wsp.hfull;
    const size_t k = static_cast<size_t>(i);
    if (k < kept.size() && !std::isnan(kept[k][static_cast<size_t>(s)]))
        return kept[k][static_cast<size_t>(s)];
    qerprf(ctx, s, i, s == 1 ? 0.0f : ctx.cs.L);
    mquer(ctx);
    const float h = hzu(ctx, s);
    if (!ctx.failed() && k < kept.size()) kept[k][static_cast<size_t>(s)] = h;
    return h;
}

}  // namespace

void qergeo(RunContext& ctx, std::string_view name, int s, int i, float x) {
    if (ctx.failed()) return;
    Qercmn& cs = ctx.cs;
    Element& e = ctx.plant.el[i];
    const bool wasLoaded = (cs.loaded == i);
    const EndProfile& p1 = e.prof[kProfDown];
    const EndProfile& p2 = e.prof[kProfUp];

    if (!wasLoaded) {
        // 1. element values
        const EndProfile& ps = e.prof[s == 1 ? kProfDown : kProfUp];
        cs.T[0] = ps.T[0];
        cs.T[1] = ps.T[1];
        const float k = given(e.geo.K) ? e.geo.K : 0.0f;
        cs.K = (k <= 19.0f) ? k * 0.001f : k;
        cs.c = given(e.geo.C) ? e.geo.C : 0.0f;
        cs.hve = e.hvs;
        cs.zeta1 = e.zeta;
        cs.L = e.L;
        cs.Zend[1] = p1.Z;
        cs.Zend[2] = p2.Z;
        cs.I0 = (std::fabs(cs.L) <= kTiny) ? 0.0f : (p2.Z - p1.Z) / cs.L;
        cs.nbrm = 0;
        cs.brm = {};

        // 2. compare the end profiles
        cs.ident = false;
        cs.toponly = false;
        cs.similar = false;
        if (p1.n == p2.n) {
            const int n = p1.n;
            cs.ident = true;
            cs.toponly = true;
            for (int j = 0; j <= n; ++j) {
                if (std::fabs(p1.H[j] - p2.H[j]) > kTiny || std::fabs(p1.B[j] - p2.B[j]) > kTiny) {
                    cs.ident = false;
                    cs.toponly = (j == n && std::fabs(p1.B[j] - p2.B[j]) <= kTiny);
                    break;
                }
            }
            if (!cs.ident && p2.H[n] != 0.0f && p2.B[n] != 0.0f) {
                const float rh = p1.H[n] / p2.H[n], rb = p1.B[n] / p2.B[n];
                cs.similar = true;
                for (int j = 0; j <= n && cs.similar; ++j) {
                    if (p2.H[j] == 0.0f || p2.B[j] == 0.0f ||
                        std::fabs(p1.H[j] / p2.H[j] - rh) > kTiny ||
                        std::fabs(p1.B[j] / p2.B[j] - rb) > kTiny)
                        cs.similar = false;
                }
            }
        }

        // 3. constant discharge along the element
        const float q1 = e.res[1].Q, q2 = e.res[2].Q;
        cs.plain = !(e.ityp == T_V || e.ityp == T_S || e.ityp > 20 || std::fabs(q1 - q2) > kTiny);

        // 4. full heights
        if (cs.T[0] == 'o') {
            cs.hfull[1] = cs.hfull[2] = 9999.9f;
        } else {
            cs.hfull[1] = full_height(ctx, i, 1);
            if (ctx.failed()) return;
            if (cs.sec[2].h > cs.hfull[1]) {
                // impounded from downstream: never counts as running full
                cs.hfull[1] = cs.hfull[2] = 9999.9f;
            } else if (i != 1) {
                cs.hfull[2] = full_height(ctx, i, 2);
                if (ctx.failed()) return;
            } else {
                cs.hfull[2] = cs.hfull[1];
            }
        }
    }

    // 5. position
    const float q1 = e.res[1].Q, q2 = e.res[2].Q;
    if (s == 1) {
        cs.f = 0.0f;
        cs.Zx = p1.Z;
        cs.Qx = q1;
    } else if (x > kTiny || support::contains("HYAVERHYASAM", support::trim(name))) {
        const float f = (cs.L < 1e-4f) ? 1.0f : x / cs.L;
        cs.f = f;
        cs.Zx = p1.Z + (p2.Z - p1.Z) * f;
        if (e.ityp == T_V) cs.Qx = f * q2;
        else if (e.ityp == T_S) cs.Qx = (1.0f - f) * q1;
        else cs.Qx = q1 + (q2 - q1) * f;
    } else {
        cs.f = 1.0f;
        cs.Zx = p2.Z;
        cs.Qx = q2;
    }
    cs.sec[2].z = cs.Zx;
    cs.sec[2].Q = cs.Qx;
    cs.dz = cs.Zx - cs.sec[1].z;

    // 6. profile at the position
    if (!(wasLoaded && cs.ident)) {
        qerprf(ctx, s, i, x);
        mquer(ctx);
    }
    // 7. berms, full height and critical values at the position
    if (!(wasLoaded && cs.ident && cs.plain)) {
        chkbrm(ctx, x);
        if (ctx.failed()) return;
        cs.hvoll = cs.hfull[1] + (cs.hfull[2] - cs.hfull[1]) * cs.f;
        hgrenz(ctx);
        if (ctx.failed()) return;
    }
    // 8. remember the element; special elements always reload
    cs.loaded = (e.ityp == T_M || e.ityp == T_A || e.ityp == T_Z) ? 0 : i;
}

// ---------------------------------------------------------------------------
// Invert downstream, section slots

float zsohle(RunContext& ctx, int i) {
    const Element& e = ctx.plant.el[i];
    const int d = e.iab[1];
    if (d < 1 || d > ctx.plant.nsys || support::trim(e.ablauf1) == "ENDE") return 0.0f;
    const Element& de = ctx.plant.el[d];
    // a confluence: the invert of the branch through which i enters (a
    // collection flume with a second inlet has no branch profiles and is
    // entered like any element)
    if (de.ityp == T_Z && !(de.bez.size() > 0 && de.bez[0] == 'S')) {
        const int branch = (de.izu[2] == i && de.izu[1] != i) ? kProfBranch2 : kProfBranch1;
        return de.prof[branch].Z;
    }
    return de.prof[kProfUp].Z;
}

void prf21(RunContext& ctx) { ctx.cs.sec[1] = ctx.cs.sec[2]; }

}  // namespace rivola::hyd
