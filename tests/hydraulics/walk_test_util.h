// Plants for the tests of the water-level walk, built in memory as the set-up
// leaves them: types, connections, type ordinals, normalised profiles, per-type
// tables and the discharge of every element end.
#pragma once

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "input/input.h"
#include "hydraulics/geomet.h"
#include "model/context.h"

namespace rivola::walktest {

// A polygon profile: up to five layer heights and widths above the invert.
struct Prof {
    char top = 'o';                  // 'o' open, 'g' closed
    char shape = 'T';                // 'T' flat bottom, 'K' circular bottom
    std::vector<float> H, B;         // layers
    float HS = 0.00002f;             // crown rise

    static Prof rect(float b, float h, bool closed = false) {
        Prof p;
        p.top = closed ? 'g' : 'o';
        p.H = {h};
        p.B = {b};
        return p;
    }
};

class PlantBuilder {
public:
    explicit PlantBuilder(RunContext& c) : ctx(c) {}

    // An element from its name (first letter = type), first inlet and first
    // outlet, length, inverts at the outlet and inlet end, profile (both ends),
    // roughness; the last element has the outlet "ENDE".
    int add(const std::string& bez, const std::string& zu1, const std::string& ab1, float L,
            float zDown, float zUp, const Prof& prof, float K = 70.0f) {
        Element e;
        e.bez = bez;
        e.bez_lang = bez;
        e.zulauf1 = zu1;
        e.ablauf1 = ab1;
        e.L = L;
        e.geo.L = L;
        e.geo.K = K;
        e.geo.C = 0.0f;
        set_prof(e.prof[kProfDown], prof, zDown);
        set_prof(e.prof[kProfUp], prof, zUp);
        els.push_back(e);
        return static_cast<int>(els.size());
    }
    Element& el(int i) { return els[static_cast<size_t>(i - 1)]; }

    static void set_prof(EndProfile& p, const Prof& f, float z) {
        p = EndProfile{};
        p.T[0] = f.top;
        p.T[1] = f.shape;
        p.Z = z;
        p.HS = f.HS;
        for (size_t j = 0; j < f.H.size() && j < 5; ++j) {
            p.H[j + 1] = f.H[j];
            p.B[j + 1] = f.B[j];
        }
        p.n = static_cast<int>(f.H.size());
    }

    // Types, connections, ordinals, profiles, table sizes; every element end
    // carries the discharge Q.
    void finish(float Q) {
        Plant& p = ctx.plant;
        const int n = static_cast<int>(els.size());
        p.resize(n);
        std::map<std::string, int> idx;
        for (int i = 1; i <= n; ++i) {
            p.el[i] = els[static_cast<size_t>(i - 1)];
            idx[p.el[i].bez] = i;
        }
        std::array<int, kMaxItyp + 1> cnt{};
        for (int i = 1; i <= n; ++i) {
            Element& e = p.el[i];
            int t = ityp_of_letter(e.bez[0]);
            if (t == T_V && !e.ablauf2.empty()) t = T_A;
            if (t == T_S && !e.zulauf2.empty()) t = T_Z;
            e.ityp = t;
            e.iord = t > 0 ? ++cnt[t] : 0;
            auto look = [&](const std::string& s) {
                auto it = idx.find(s);
                return it == idx.end() ? 0 : it->second;
            };
            e.izu[1] = look(e.zulauf1);
            e.izu[2] = look(e.zulauf2);
            e.iab[1] = look(e.ablauf1);
            e.iab[2] = look(e.ablauf2);
            input::profil(ctx, i);
            e.res[1].Q = e.res[2].Q = Q;
            e.res[1].z = e.prof[kProfDown].Z;
            e.res[2].z = e.prof[kProfUp].Z;
        }
        indx(p, n);
        p.ueb.assign(static_cast<size_t>(cnt[T_U]) + 1, WeirData{});
        p.wand.assign(static_cast<size_t>(cnt[T_W]) + 1, WallData{});
        p.tau.assign(static_cast<size_t>(cnt[T_T]) + 1, TubeData{});
        p.mes.assign(static_cast<size_t>(cnt[T_M]) + 1, MeasFlumeData{});
        p.pumpe.assign(static_cast<size_t>(cnt[T_P]) + 1, PumpData{});
        p.rec.assign(static_cast<size_t>(cnt[T_R]) + 1, ScreenData{});
        p.auf.assign(static_cast<size_t>(cnt[T_A]) + 1, DivisionData{});
        p.zus.assign(static_cast<size_t>(cnt[T_Z]) + 1, ConfluenceData{});
        p.aufteilung.assign(static_cast<size_t>(cnt[T_A]) + 1, DivisionSetting{});
        p.qzu.assign(static_cast<size_t>(cnt[T_Q]) + 1, 0.0f);
        if (!p.qzu.empty() && p.qzu.size() > 1) p.qzu[1] = Q;
    }

    RunContext& ctx;
    std::vector<Element> els;
};

// ---- independent references ----

inline constexpr double kG = 9.80665;

// Critical depth of a rectangle of width b.
inline double hc_rect(double Q, double b) { return std::cbrt(Q * Q / (b * b * kG)); }

// Friction slope of a rectangle by Manning-Strickler.
inline double sf_rect(double Q, double b, double kst, double h) {
    const double A = b * h, R = A / (b + 2.0 * h), v = Q / A;
    return std::pow(v / (kst * std::pow(R, 2.0 / 3.0)), 2.0);
}

// Water depth at the distance x upstream of a section with depth h0 in a
// prismatic rectangular channel of bed slope S0 (subcritical flow), by
// integrating dh/dx = (Sf - S0)/(1 - Fr^2) against the flow with fixed small
// steps (classical fourth-order Runge-Kutta).
inline double gvf_rect(double Q, double b, double kst, double S0, double h0, double x,
                       int steps = 4000) {
    auto f = [&](double h) {
        const double Fr2 = Q * Q / (kG * b * b * h * h * h);
        return (sf_rect(Q, b, kst, h) - S0) / (1.0 - Fr2);
    };
    const double dx = x / steps;
    double h = h0;
    for (int k = 0; k < steps; ++k) {
        const double k1 = f(h), k2 = f(h + 0.5 * dx * k1), k3 = f(h + 0.5 * dx * k2),
                     k4 = f(h + dx * k3);
        h += dx / 6.0 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    return h;
}

// Head over a rectangular crest of width b from the weir law
// Q = 2/3 mu b sqrt(2g) h^1.5, solved by bisection.
inline double weir_head(double Q, double mu, double b) {
    double lo = 0.0, hi = 10.0;
    for (int k = 0; k < 200; ++k) {
        const double h = 0.5 * (lo + hi);
        const double q = 2.0 / 3.0 * mu * b * std::sqrt(2.0 * kG) * std::pow(h, 1.5);
        (q < Q ? lo : hi) = h;
    }
    return 0.5 * (lo + hi);
}

inline double vhead(double v) { return v * v / (2.0 * kG); }

}  // namespace rivola::walktest
