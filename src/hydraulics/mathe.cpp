#include "hydraulics/mathe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "hydraulics/hyd_abort.h"
#include "model/context.h"

namespace rivola::hyd {

namespace {

inline float& at(float* a, int i, int j, int ndim) { return a[(i - 1) + (j - 1) * ndim]; }
inline float at(const float* a, int i, int j, int ndim) { return a[(i - 1) + (j - 1) * ndim]; }

// Writes the system that could not be solved: one line per equation with its
// coefficients and then its right-hand side.
void write_mtr(RunContext& ctx, int ndim, int n, const std::vector<float>& a,
               const std::vector<float>& b) {
    const std::string path = ctx.run.dbDir + "GAUSS.MTR";
    std::FILE* fp = std::fopen(path.c_str(), "w");
    if (!fp) return;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) std::fprintf(fp, " %15.7E", at(a.data(), i, j, ndim));
        std::fprintf(fp, "  %15.7E\n", b[static_cast<size_t>(i - 1)]);
    }
    std::fclose(fp);
}

}  // namespace

void gauss(RunContext& ctx, int ndim, int n, float* a, float* b, float* x) {
    if (ctx.failed()) return;
    if (ndim < n) {
        abort_run(ctx, 102);
        return;
    }
    if (ndim != kGaussDim) {
        abort_run(ctx, 103);
        return;
    }
    if (n < 1) return;
    const std::vector<float> a0(a, a + ndim * n), b0(b, b + n);
    std::vector<int> ip(static_cast<size_t>(n));
    std::vector<float> piv(static_cast<size_t>(n));
    int nsing = 0;
    vtrian(a, b, n, 1e-5f, ip.data(), piv.data(), nsing, ndim);
    if (nsing == 0) {
        vrueck(a, b, n, ip.data(), x, ndim);
        return;
    }
    write_mtr(ctx, ndim, n, a0, b0);
    abort_run(ctx, 104);
}

void vtrian(float* a, float* b, int n, float eps, int* ip, float* piv, int& nsing, int ndim) {
    eps = std::fabs(eps);
    nsing = -1;
    if (n < 1) {
        nsing = 0;
        return;
    }
    std::vector<char> freeRow(static_cast<size_t>(n) + 1, 1);
    auto pick = [&](int k) {
        int p = 0;
        float best = -1.0f;
        for (int r = 1; r <= n; ++r) {
            if (!freeRow[static_cast<size_t>(r)]) continue;
            const float m = std::fabs(at(a, r, k, ndim));
            if (m > best) {
                best = m;
                p = r;
            }
        }
        freeRow[static_cast<size_t>(p)] = 0;
        ip[k - 1] = p;
        piv[k - 1] = at(a, p, k, ndim);
    };
    nsing = 0;
    pick(1);
    for (int k = 2; k <= n; ++k) {
        const int p = ip[k - 2];
        const float pv = piv[k - 2];
        if (std::fabs(pv) > eps) {
            for (int r = 1; r <= n; ++r) {
                if (!freeRow[static_cast<size_t>(r)]) continue;
                const float fac = at(a, r, k - 1, ndim) / pv;
                at(a, r, k - 1, ndim) = fac;
                for (int j = k; j <= n; ++j) at(a, r, j, ndim) -= fac * at(a, p, j, ndim);
                b[r - 1] -= fac * b[p - 1];
            }
        } else {
            ++nsing;
        }
        pick(k);
    }
    if (std::fabs(piv[n - 1]) <= eps) ++nsing;
}

void vrueck(const float* a, const float* b, int n, const int* ip, float* x, int ndim) {
    for (int k = n; k >= 1; --k) {
        const int p = ip[k - 1];
        float s = b[p - 1];
        for (int j = k + 1; j <= n; ++j) s -= at(a, p, j, ndim) * x[j - 1];
        x[k - 1] = s / at(a, p, k, ndim);
    }
}

void matrix(float x0, float xm, float x1, float E0, float E1, float s0, float s1, Matrix10& a,
            Vector10& r) {
    a.fill(0.0f);
    r.fill(0.0f);
    float* m = a.data();
    constexpr int d = kGaussDim;
    // 1: piece 1 passes through (x0, E0)
    at(m, 1, 1, d) = 1.0f;
    at(m, 1, 2, d) = x0;
    at(m, 1, 3, d) = x0 * x0;
    r[0] = E0;
    // 2: piece 1 has the slope s0 at x0
    at(m, 2, 2, d) = 1.0f;
    at(m, 2, 3, d) = 2.0f * x0;
    r[1] = s0;
    // 3: piece 2 passes through (x1, E1)
    at(m, 3, 4, d) = 1.0f;
    at(m, 3, 5, d) = x1;
    at(m, 3, 6, d) = x1 * x1;
    r[2] = E1;
    // 4: piece 2 has the slope s1 at x1
    at(m, 4, 5, d) = 1.0f;
    at(m, 4, 6, d) = 2.0f * x1;
    r[3] = s1;
    // 5: equal values at the joint
    at(m, 5, 1, d) = 1.0f;
    at(m, 5, 2, d) = xm;
    at(m, 5, 3, d) = xm * xm;
    at(m, 5, 4, d) = -1.0f;
    at(m, 5, 5, d) = -xm;
    at(m, 5, 6, d) = -xm * xm;
    // 6: equal slopes at the joint
    at(m, 6, 2, d) = 1.0f;
    at(m, 6, 3, d) = 2.0f * xm;
    at(m, 6, 5, d) = -1.0f;
    at(m, 6, 6, d) = -2.0f * xm;
}

float splmit(float x0, float E0, float s0, float x1, float E1, float s1) {
    // parallel end tangents do not meet: the joint is the midpoint
    if (s1 - s0 == 0.0f) return 0.5f * (x0 + x1);
    const float xs = (x1 * s1 + (E0 - E1) - x0 * s0) / (s1 - s0);
    return 0.5f * ((x0 + 0.6666667f * (xs - x0)) + (x1 + 0.6666667f * (xs - x1)));
}

float eps_d_4(float x, float e) {
    if (x < 1000.0f * e) return e;
    // x 2^-22 (exact) well below e: the rounded powers below differ from it
    // by a few millionths, so e holds; saves two library calls per trial
    if (std::ldexp(x, -22) < 0.999f * e) return e;
    return std::max(e, std::exp2(std::log2(x) - 22.0f));
}

double eps_d_8(double x, double e) {
    if (x < 1000.0 * e) return e;
    return std::max(e, std::exp2(std::log2(x) - 51.0));
}

int potenz_10(float x) {
    float y = std::fabs(x);
    if (y <= 1e-6f) return 0;
    int k = 0;
    if (y > 1.0f) {
        while (y >= 1.0f) {
            y *= 0.1f;
            ++k;
        }
        return k;
    }
    if (y < 1.0f) {
        while (y <= 1.0f) {
            y *= 10.0f;
            --k;
        }
    }
    return k;
}

void addexp2(std::int32_t& m1, std::int32_t& e1, std::int32_t& m2, std::int32_t& e2,
             std::int32_t& m, std::int32_t& e) {
    // Alignment beyond the range of a 4-byte mantissa saturates instead of
    // overflowing.
    auto sat = [](double v) {
        constexpr double lo = std::numeric_limits<std::int32_t>::min();
        constexpr double hi = std::numeric_limits<std::int32_t>::max();
        return static_cast<std::int32_t>(std::trunc(std::clamp(v, lo, hi)));
    };
    if (e1 < e2) {
        m2 = sat(std::ldexp(static_cast<double>(m2), e2 - e1));
        e2 = e1;
    } else if (e2 < e1) {
        m1 = sat(std::ldexp(static_cast<double>(m1), e1 - e2));
        e1 = e2;
    }
    std::int64_t s = static_cast<std::int64_t>(m1) + static_cast<std::int64_t>(m2);
    std::int32_t ex = e1;
    if (s == 0) {
        m = 0;
        e = 0;
        return;
    }
    while (s % 2 == 0) {
        s /= 2;
        ++ex;
    }
    m = sat(static_cast<double>(s));
    e = ex;
}

}  // namespace rivola::hyd
