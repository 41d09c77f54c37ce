#include "hydraulics/hydraul_weir.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/root_steps.h"
#include "hydraulics/mathe.h"
#include "model/context.h"
#include "support/constants.h"

namespace rivola::hyd {

namespace {

// Side slope of the notch: half the width gain per metre of height.
float notch_slope(float H1, float b0, float b1) {
    return H1 < kTiny ? 0.0f : (b1 - b0) / (2.0f * H1);
}

}  // namespace

float q_weir(float h, int n, float mue, float H1, float b0, float b1, float b2) {
    const float m = notch_slope(H1, b0, b1);
    const float cnm = kWeirC * static_cast<float>(n) * mue;
    if (h <= H1) return cnm * (b0 + 0.8f * m * h) * std::pow(h, 1.5f);
    // Above the notch the walls stand vertical at b2: add the extra width
    // b2 - b1 over the head d above H1 and take away the notch widening that
    // would continue above H1.
    const float d = h - H1;
    return cnm * (std::pow(d, 1.5f) * (b2 - b1) + std::pow(h, 1.5f) * (b0 + 0.8f * m * h) -
                  0.8f * m * std::pow(d, 2.5f));
}

float hwehr(RunContext& ctx, std::string_view name, float Q, float mue, int n, float H1, float b0,
            float b1, float b2) {
    (void)name;
    if (Q < kTiny) return kTiny;
    const float cnm = kWeirC * static_cast<float>(n) * mue;
    if (H1 < kTiny) return std::pow(Q / (cnm * b0), 0.66667f);

    const float m = notch_slope(H1, b0, b1);
    const float Q1 = q_weir(H1, n, mue, H1, b0, b1, b2);  // capacity of the notch
    if (b0 <= kTiny && Q <= Q1) return std::pow(1.25f * Q / (cnm * m), 0.4f);
    if (std::fabs(b1 - b0) <= kTiny && Q <= Q1) return std::pow(Q / (cnm * b0), 0.66667f);

    // General notch: solve Q - Q(h) = 0 by regula falsi.
    float lower, upper, x1, x2;
    if (Q <= Q1) {
        lower = kTiny;
        upper = H1;
        x1 = 0.25f * H1;
        x2 = 0.75f * H1;
    } else {
        lower = H1 + kTiny;
        upper = 9999.9f;
        x1 = H1 + kTiny;
        x2 = 2.0f * (H1 + kTiny);
    }
    const float tol = std::max(1e-4f * std::fabs(Q), eps_d_4(std::fabs(Q), 1e-4f));
    int counter = 0;
    float h = x1;
    float f = 1.0e10f;
    for (;;) {
        rfalsi(ctx, "HWEHR", 0, counter, x1, x2, lower, upper, h, f);
        if (ctx.run.ierr >= 2) return -1.0f;
        const bool declared = (f == 0.0f);
        f = Q - q_weir(h, n, mue, H1, b0, b1, b2);
        if (declared || std::fabs(f) < tol) break;
    }
    return h;
}

float hwehr_unvollkommen(RunContext& ctx, std::string_view name, float Q, float hu, float mue,
                         float p, int n, float H1, float b0, float b1, float b2) {
    float lower = hu, upper = 9999.99f;
    const float x1 = hu + 0.01f, x2 = 2.0f * hu;
    float F = 1.0e10f;
    float h = x1, hnew = hu;
    int counter = 0, trials = 0;
    while (std::fabs(F) > 0.0005f) {
        rfalsi(ctx, "HWEHR_", 0, counter, x1, x2, lower, upper, h, F);
        if (ctx.run.ierr >= 2) return -1.0f;
        ++trials;
        const float r = std::pow(hu / h, p);
        const float red = std::sqrt(std::max(0.0f, 1.0f - r));
        if (red < 0.01f || (trials > 20 && std::fabs(h - hu) < 0.01f)) return hu;  // drowned
        // The free-weir head iterates in the same step slot: keep this
        // iteration's history apart from it.
        const StepSlot own = ctx.steps.at(0);
        hnew = hwehr(ctx, name, Q, red * mue, n, H1, b0, b1, b2);
        ctx.steps.at(0) = own;
        if (ctx.run.ierr >= 2) return -1.0f;
        F = hnew - h;
    }
    return hnew;
}

void fktueb(float h, float Q, int n, float H1, float b2, float b0, float b1, float& A, float& v,
            float& hE) {
    A = 0.0f;
    if (H1 > 1e-5f) {
        const float hh = std::min(h, H1);
        A = hh * static_cast<float>(n) * (b0 + (b1 - b0) * 0.5f * hh / H1);
    }
    if (h > H1) A += (h - H1) * b2;
    v = A > 1e-5f ? Q / A : 0.0f;
    hE = h + v * v * 0.5f * kInvGravity;
}

float schuetzformel(char mode, float x, float A, float mue) {
    if (mode == 'Q') {
        // No flow through the opening against a non-positive head difference.
        if (x <= 0.0f) return 0.0f;
        return mue * A * std::sqrt(19.6133f * x);
    }
    if (mode == 'h') {
        const float r = x / A / mue;
        return r * r * 0.05098581f;
    }
    return 0.0f;
}

}  // namespace rivola::hyd
