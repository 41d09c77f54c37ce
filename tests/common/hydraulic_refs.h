// Independent references of the hydraulic tests, in double precision: closed
// forms, a bisection and a Runge-Kutta integration written here, never the
// program's own routines.
#pragma once

#include <cmath>
#include <functional>

namespace rivola::ref {

inline constexpr double kG = 9.80665;
inline constexpr double kNu = 1.31e-6;  // kinematic viscosity of water at 10 °C
inline constexpr double kPi = 3.14159265358979;

// Root of f on [lo, hi] by bisection, f(lo) < 0 < f(hi).
inline double bisect(const std::function<double(double)>& f, double lo, double hi) {
    for (int i = 0; i < 200; ++i) {
        const double m = 0.5 * (lo + hi);
        (f(m) < 0 ? lo : hi) = m;
    }
    return 0.5 * (lo + hi);
}

inline double vhead(double v) { return v * v / (2.0 * kG); }

// Critical depth of a rectangle of width b.
inline double hc_rect(double Q, double b) { return std::cbrt(Q * Q / (b * b * kG)); }

// Critical depth from Q^2 B / (g A^3) = 1 for closed-form A(h), B(h).
inline double critical(double Q, const std::function<double(double)>& A,
                       const std::function<double(double)>& B, double lo, double hi) {
    return bisect([&](double h) { return 1 - Q * Q * B(h) / (kG * std::pow(A(h), 3)); }, lo, hi);
}

// Circular segment of rise h in a circle of diameter D.
struct Segment {
    double A, B, arc;
};
inline Segment segment(double h, double D) {
    const double r = D / 2, th = 2 * std::acos(1 - h / r);
    return {0.5 * r * r * (th - std::sin(th)), 2 * std::sqrt(h * (D - h)), r * th};
}

// Friction factor by Prandtl-Colebrook (k sand roughness, d hydraulic
// diameter, v velocity), fixed-point iteration to convergence.
inline double colebrook(double k, double d, double v) {
    const double Re = v * d / kNu;
    double x = 7.0;  // 1/sqrt(lambda)
    for (int i = 0; i < 200; ++i) x = -2 * std::log10(2.51 * x / Re + k / d / 3.71);
    return 1 / (x * x);
}

// Friction slopes of a rectangle of width b at depth h.
inline double sf_manning(double Q, double b, double kst, double h) {
    const double A = b * h, R = A / (b + 2 * h);
    return Q * Q / (kst * kst * A * A * std::pow(R, 4.0 / 3.0));
}
inline double sf_colebrook(double Q, double b, double ks, double h) {
    const double A = b * h, d = 4 * A / (b + 2 * h), v = Q / A;
    return colebrook(ks, d, v) * vhead(v) / d;
}

// Depth at the distance x upstream of a section of depth h0 in a prismatic
// rectangular channel of bed slope S0 (subcritical flow): dh/dx = (Sf -
// S0)/(1 - Fr^2) integrated against the flow, classical Runge-Kutta.
inline double gvf_rect(double Q, double b, double S0, double h0, double x,
                       const std::function<double(double)>& Sf, int steps = 4000) {
    auto f = [&](double h) { return (Sf(h) - S0) / (1.0 - Q * Q / (kG * b * b * h * h * h)); };
    const double dx = x / steps;
    double h = h0;
    for (int k = 0; k < steps; ++k) {
        const double k1 = f(h), k2 = f(h + 0.5 * dx * k1), k3 = f(h + 0.5 * dx * k2),
                     k4 = f(h + dx * k3);
        h += dx / 6.0 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    return h;
}
inline double gvf_manning(double Q, double b, double kst, double S0, double h0, double x,
                          int steps = 4000) {
    return gvf_rect(Q, b, S0, h0, x, [&](double h) { return sf_manning(Q, b, kst, h); }, steps);
}

// Head over a rectangular crest of width b: Q = 2/3 mu b sqrt(2g) h^1.5.
inline double weir_head(double Q, double mu, double b) {
    return std::pow(Q / (2.0 / 3.0 * mu * b * std::sqrt(2.0 * kG)), 2.0 / 3.0);
}

// Open channels of Manning-Strickler friction: area, surface width and
// hydraulic radius of a section at depth h.
struct Section { double A, B, R; };
using Shape = std::function<Section(double)>;

inline Shape rectangle(double b) {
    return [b](double h) { return Section{b * h, b, b * h / (b + 2 * h)}; };
}

inline Shape circle(double D) {
    return [D](double h) {
        const double t = 2 * std::acos(1 - 2 * h / D);  // wetted angle
        const double A = D * D / 8 * (t - std::sin(t));
        return Section{A, D * std::sin(t / 2), A / (D * t / 2)};
    };
}

inline double froude2(const Shape& s, double h, double Q) {
    const Section c = s(h);
    return Q * Q * c.B / (kG * c.A * c.A * c.A);
}

inline double friction(const Shape& s, double h, double Q, double kst) {
    const Section c = s(h);
    return Q * Q / (kst * kst * c.A * c.A * std::pow(c.R, 4.0 / 3.0));
}

inline double critical_depth(const Shape& s, double Q, double hmax) {
    return bisect([&](double h) { return 1 - froude2(s, h, Q); }, 1e-4, hmax);
}

// Depth at distance L upstream of a section at depth h0: the gradually
// varied flow equation integrated in the depth, dx/dh = (1 - Fr^2)/(Sf - S0)
// for x against the flow (finite at the critical depth), by Simpson steps of
// `step` (1 micrometre unless given), until the distance is reached.
inline double depth_upstream(const Shape& s, double h0, double L, double S0, double Q, double kst,
                             double step = 1e-6) {
    auto dxdh = [&](double h) { return (1 - froude2(s, h, Q)) / (friction(s, h, Q, kst) - S0); };
    const double dh = (friction(s, h0, Q, kst) > S0 ? 1.0 : -1.0) * step;
    double h = h0, x = 0;
    for (;;) {
        const double k = dh / 6 * (dxdh(h) + 4 * dxdh(h + dh / 2) + dxdh(h + dh));
        if (x + k >= L) return h + dh * (L - x) / k;
        x += k;
        h += dh;
    }
}

}  // namespace rivola::ref
