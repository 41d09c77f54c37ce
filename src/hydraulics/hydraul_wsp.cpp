#include "hydraulics/hydraul_wsp.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/geomet.h"
#include "hydraulics/hyd_abort.h"
#include "hydraulics/hydraul.h"
#include "hydraulics/root_steps.h"
#include "hydraulics/mathe.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

namespace {


bool stopped(const RunContext& ctx) { return ctx.run.ierr >= 2; }

// Evaluates the current section at depth h for the discharge of the position.
void eval_section(RunContext& ctx, std::string_view name, float h) {
    Qercmn& cs = ctx.cs;
    Section& s2 = cs.sec[2];
    s2.h = h;
    s2.Q = cs.Qx;
    s2.z = cs.Zx;
    fkthya(ctx, name, cs.Qx, h, s2.A, s2.Ag, s2.B, s2.dhy, s2.v, s2.I, s2.he);
}

// Borda loss between the previous and the current section over dx.
float borda(const Qercmn& cs, float zeta, float dx) {
    return hvboca(zeta, cs.sec[1].v, cs.sec[2].v, cs.sec[1].A, cs.sec[2].A, dx);
}

// Flag of a section whose depth reaches above the apex of its profile.
void mark_overtopped(Qercmn& cs) {
    if (cs.sec[2].h > cs.Htop) cs.bem[3] = (cs.T[0] == 'o') ? "ü" : "d";
}

// Loss heights of an energy balance; `spread` is the fraction of the
// element's single losses that falls to this step (1 for a full section).
void energy_losses(RunContext& ctx, std::string_view name, int s, int i, float dx,
                   float spread, bool spreadLosses) {
    Qercmn& cs = ctx.cs;
    cs.hR = cs.hB = cs.hL = 0.0f;
    if (s == 1) {
        cs.hB = borda(cs, cs.c, dx);
        return;
    }
    const float hve = cs.hve, zeta = cs.zeta1;
    const char first = ctx.plant.el[i].bez.empty() ? ' ' : ctx.plant.el[i].bez[0];
    if (hve < kTiny && std::fabs(zeta) < kTiny && first != 'A' && first != 'Z')
        cs.hB = borda(cs, 0.0f, dx);
    cs.hR = 0.5f * (cs.sec[1].I + cs.sec[2].I) * dx;
    const float f = spreadLosses ? spread : 1.0f;
    if (hve > kTiny) {
        cs.hL = f * hve;
    } else if (std::fabs(zeta) > kTiny) {
        // A division branch loses with its own velocity, every other element
        // with the velocity at its entry.
        const float v = (name == "HYAAUF") ? cs.sec[2].v : cs.vin;
        cs.hL = v * v * f * zeta * 0.5f * kInvGravity;
    }
}

}  // namespace

void hevgl(RunContext& ctx, std::string_view name, int s, int i, float x) {
    if (stopped(ctx)) return;
    Qercmn& cs = ctx.cs;
    Section& s1 = cs.sec[1];
    Section& s2 = cs.sec[2];
    cs.hR = cs.hB = cs.hL = 0.0f;
    cs.surplus = 0.0f;
    const float dx = cs.dx;
    float f, t;
    if (cs.L <= kTiny) {
        f = 1.0f;
        t = 0.001f;
    } else {
        f = dx / cs.L;
        t = std::max(0.001f * f, 4e-5f);
    }

    // Start values: still water keeps the level of the previous section,
    // flowing water starts from the critical depth.
    float x1;
    bool critical;
    if (cs.Qx <= kTiny) {
        x1 = std::max(s1.h - cs.dz, kTiny);
        critical = false;
    } else {
        x1 = cs.hc;
        critical = true;
    }
    const float x2 = cs.hc + std::max(s1.h - cs.hc, 0.1f);
    float lower = cs.hc, upper = 9999.9f;
    cs.bem[1].clear();
    cs.bem[3].clear();

    int counter = 0, trials = 0;
    bool secant = false, control = false;
    float h = x1, F = 1.0e10f, F1 = 0.0f, Ereq = 0.0f;
    for (;;) {
        bool declared = false;
        if (!secant) {
            const float Fin = F;
            rfalsi(ctx, name, 0, counter, x1, x2, lower, upper, h, F);
            if (stopped(ctx)) return;
            declared = (Fin != 0.0f && F == 0.0f);
        } else {
            itstep(ctx, name, 0, counter, lower, upper, h, F);
            if (trials > 1000) {  // the secant stepping found no balance either
                abort_run(ctx, 84, name);
                return;
            }
        }
        ++trials;

        eval_section(ctx, name, h);
        if (stopped(ctx)) return;
        energy_losses(ctx, name, s, i, dx, f, true);
        Ereq = s1.he + cs.hR + cs.hB + cs.hL - cs.dz;
        F = s2.he - Ereq;

        if (trials == 1) {
            F1 = F;
            if (F >= 0.0f) {
                // Even the first trial carries enough energy: the depth stays,
                // a surplus is booked as a loss of the step.
                if (F >= t) {
                    if (critical) cs.surplus = F;
                    const float surplus = s2.he + cs.dz - s1.he;
                    if (x <= kTiny) {
                        cs.hB = surplus;
                        cs.hR = cs.hL = 0.0f;
                    } else {
                        cs.hR = surplus;
                        cs.hB = cs.hL = 0.0f;
                    }
                }
                if (critical) cs.bem[1] = "gr";
                control = true;
                break;
            }
            continue;
        }
        if (declared || std::fabs(F) < eps_d_4(std::fabs(Ereq), t)) break;
        // Moving up and away from the critical depth lowers the residual:
        // leave the bracket and step by secants from the first trial on. In
        // still water the second trial may lie below the first (the element's
        // invert lies deeper than the section below it); a lower residual
        // there is the ordinary rise of the residual with the depth, and
        // stepping on downwards would run into the bottom of the bracket and
        // stay there.
        if (trials == 2 && !secant && F < F1 && x2 > x1) {
            secant = true;
            counter = 0;
            float hx = x1;
            itstep(ctx, name, 0, counter, lower, upper, hx, F1);
        }
        if (trials > 100) t = std::min(0.001f + 9e-6f * static_cast<float>(trials - 100), 0.01f);
    }

    // A balance accepted within its tolerance hands on the energy that the
    // balance requires, not the depth's own: a surplus kept at every step
    // would add up along a reach of many short steps (a drawdown towards
    // critical depth). A section at its control depth keeps its own energy.
    s2.he = control ? std::max(s2.he, Ereq) : Ereq;
    mark_overtopped(cs);
    if (s == 1) cs.vin = s2.v;
}

void hevgl_druck(RunContext& ctx, std::string_view name, int s, int i, float dx) {
    if (stopped(ctx)) return;
    Qercmn& cs = ctx.cs;
    Section& s1 = cs.sec[1];
    Section& s2 = cs.sec[2];
    cs.dx = dx;
    eval_section(ctx, name, cs.Htop);
    if (stopped(ctx)) return;
    energy_losses(ctx, name, s, i, dx, 1.0f, false);
    s2.he = s1.he + cs.hR + cs.hB + cs.hL - cs.dz;
    // The pressure head: it may stand above the top of the section.
    s2.h = s2.he - s2.v * s2.v * 0.5f * kInvGravity;
    cs.bem[1].clear();
    cs.bem[3].clear();
    if (s == 1) cs.vin = s2.v;
}

void ber0i(RunContext& ctx, std::string_view name, int i, float& x, float x_end, float& sumR,
           float& sumL, std::vector<SurfacePoint>* track) {
    sumR = sumL = 0.0f;
    if (stopped(ctx)) return;
    Qercmn& cs = ctx.cs;
    const Section& s1 = cs.sec[1];
    const Section& s2 = cs.sec[2];
    const bool screen = !ctx.plant.el[i].bez.empty() && ctx.plant.el[i].bez[0] == 'R';

    // First step from the state the stepping starts from (the current section,
    // which becomes the previous section of the first step).
    float dx = std::max(0.05f * cs.hc, 0.01f);
    dx = std::max(dx, std::fabs(s2.h - cs.hc));
    do {
        dx = 2.0f * dx;
        // Near critical flow on a rising or level bed the steps stay short.
        const float dhc = std::fabs(s1.h - cs.hc);
        if (dhc > kTiny && cs.Qx > kTiny && s1.he - cs.hEc > 0.005f && s1.z - 0.005f < cs.Zx)
            dx = std::max(std::min(dx, dhc), 0.01f);
        // A screen is passed in one step.
        if (screen && x_end - x > dx) dx = x_end - x;
        if (x + dx > x_end + kTiny) {
            dx = x_end - x;
            x = x_end;
        } else {
            x += dx;
        }

        cs.dx = dx;
        prf21(ctx);
        qergeo(ctx, name, 2, i, x);
        hevgl(ctx, name, 2, i, x);
        if (stopped(ctx)) return;

        // A closed section that starts running full inside the step: end the
        // step at the depth where it runs full.
        if (cs.T[0] == 'g') {
            const float hf = cs.hvoll, h1 = s1.h, h2 = s2.h;
            if ((h1 < hf && hf < h2) || (h2 < hf && hf < h1)) {
                x -= dx;
                dx = std::min(std::max(dx * (hf - h1) / (h2 - h1), 0.01f), dx);
                x += dx;
                cs.dx = dx;
                qergeo(ctx, name, 2, i, x);
                hevgl(ctx, name, 2, i, x);
                if (stopped(ctx)) return;
            }
        }

        sumR += cs.hR;
        sumL += cs.hL + cs.hB;
        if (track) track->push_back({x, cs.Zx + s2.h, cs.Zx + s2.he});
    } while (std::fabs(x - x_end) > kTiny);
}

float swsp_2(RunContext& ctx, std::string_view name, float dir, int type) {
    Qercmn& cs = ctx.cs;
    const Section& s1 = cs.sec[1];
    Section& s2 = cs.sec[2];
    eval_section(ctx, name, s2.h);
    s2.P = pstat(ctx, s2.h);

    const float A1 = s1.A, A2 = s2.A, h1 = s1.h, h2 = s2.h;
    // weight of the water between the sections (per unit density)
    const float W = kGravity * std::fabs(cs.dx) * (A1 + std::sqrt(std::max(A1 * A2, 1e-5f)) + A2) / 3.0f;
    // pressure on the side walls of a section that changes along the step
    float S = 0.0f;
    if (!(h1 <= 1e-5f || h2 <= 1e-5f || cs.ident || cs.toponly))
        S = (A2 / h2 - A1 / h1) * (h1 * h1 + h1 * h2 + h2 * h2) * kGravity * dir * 0.5f / 3.0f;
    // momentum carried away by the water leaving sideways
    float T = 0.0f;
    if ((type == 4 || type == 21) && A1 + A2 > 1e-5f)
        T = (s1.Q + s2.Q) * (s1.Q - s2.Q) * dir / (A1 + A2);
    if (cs.Qx <= 1e-5f) S = T = 0.0f;
    return s2.P + s2.v * s2.Q +
           dir * (W * cs.I0 - 0.5f * (s1.I + s2.I) * W - S + T);
}

void impvgl(RunContext& ctx, std::string_view name, int type) {
    if (stopped(ctx)) return;
    Qercmn& cs = ctx.cs;
    const Section& s1 = cs.sec[1];
    Section& s2 = cs.sec[2];
    cs.bem[1].clear();
    cs.bem[3].clear();
    cs.hR = cs.hB = cs.hL = 0.0f;
    const float dir = std::fabs(cs.dx) <= 1e-5f ? 1.0f : (cs.dx < 0.0f ? -1.0f : 1.0f);
    const float M1 = s1.v * s1.Q + s1.P;
    const float t = std::max(1e-5f * M1, kTiny);

    float lower, x2;
    if (cs.Qx <= 1e-5f) {
        lower = std::max(s1.z + s1.h - cs.Zx - kTiny, 1e-5f);  // still water level
        x2 = lower + kTiny;
    } else {
        lower = cs.hc;
        x2 = cs.hc + std::max(s1.he - cs.hc, 0.1f);
    }
    const float x1 = lower;
    float upper = 9999.9f;

    int counter = 0, trials = 0, steady = 0;
    float h = x1, hPrev = x1, F = 1.0e10f;
    bool critical = false;
    for (;;) {
        const float Fin = F;
        rfalsi(ctx, "IMPVGL", 0, counter, x1, x2, lower, upper, h, F);
        if (stopped(ctx)) return;
        const bool declared = (Fin != 0.0f && F == 0.0f);
        ++trials;
        s2.h = h;
        const float M2 = swsp_2(ctx, name, dir, type);
        if (stopped(ctx)) return;
        F = (cs.Qx < 1e-5f) ? 5e-6f : M2 - M1;

        if ((trials == 1 && F >= t) ||
            (trials == 999 && std::fabs(h - cs.hc) <= 1e-5f && std::fabs(F) >= t)) {
            critical = true;  // no subcritical depth balances the momentum
            break;
        }
        if (declared || std::fabs(F) < t) break;
        if (upper - lower < 0.001f && std::fabs(F) < 0.001f) break;
        steady = (std::fabs(F) < 0.05f && std::fabs(h - hPrev) < 1e-5f) ? steady + 1 : 0;
        if (steady > 100) break;
        hPrev = h;
    }

    if (critical) {
        cs.bem[1] = "gr";
        cs.hR = s2.he + cs.dz - s1.he;
        cs.hL = 0.0f;

    } else {
        cs.hR = 0.5f * (s1.I + s2.I) * cs.dx;
        cs.hL = s2.he - s1.he - cs.hR + cs.dz;  // the rest of the energy change
    }
    mark_overtopped(cs);
}

void impuls(RunContext& ctx, std::string_view name, int i, int type, float& x, float x_end,
            float& sumR, float& sumL, std::vector<SurfacePoint>* track) {
    sumR = sumL = 0.0f;
    if (stopped(ctx)) return;
    Qercmn& cs = ctx.cs;
    const float dir = x > x_end ? -1.0f : 1.0f;
    // The state the stepping starts from is the current section; it becomes
    // the previous section of the first step.
    const float d = std::max(std::fabs(cs.sec[2].h - cs.hc), 0.05f * cs.hc);
    // Sections that change along the flume are stepped finely.
    const float step = (cs.ident || cs.toponly) ? std::max(std::min(0.05f * cs.L, d), 0.01f)
                                                 : 0.01f;
    const float dx = dir * step;
    do {
        float xn = x + dx;
        float st = dx;
        if (dir * (x_end - xn) < kTiny) {
            st = x_end - x;
            xn = x_end;
        }
        x = xn;
        cs.dx = st;
        prf21(ctx);
        qergeo(ctx, name, 2, i, x);
        impvgl(ctx, name, type);
        if (stopped(ctx)) return;
        sumR += cs.hR;
        sumL += cs.hL;
        if (track) track->push_back({x, cs.Zx + cs.sec[2].h, cs.Zx + cs.sec[2].he});
    } while (std::fabs(x - x_end) > kTiny);
}

}  // namespace rivola::hyd
