#include "hydraulics/root_steps.h"

#include <algorithm>
#include <cmath>
#include <cmath>
#include <stdexcept>

#include "hydraulics/hyd_abort.h"
#include "model/context.h"

namespace rivola::hyd {

void itstep(RunContext& ctx, std::string_view, int slot, int& counter, float lower, float upper,
            float& x, float f, float restart) {
    if (ctx.failed()) return;
    StepSlot& s = ctx.steps.at(slot);
    ++counter;
    if (counter <= 1) {
        s.sx = x;
        s.sf = f;
        s.sxPrev = x;
        s.sfPrev = f;
        s.bracketed = false;
        return;
    }
    s.sxPrev = s.sx;
    s.sfPrev = s.sf;
    s.sx = x;
    s.sf = f;
    const float lo = std::min(lower, upper), hi = std::max(lower, upper);
    if (f * s.sfPrev <= 0.0f) {
        // root bracketed by the last two trials: secant (both residuals zero: stay)
        const float df = f - s.sfPrev;
        if (df != 0.0f) {
            s.sSlope = df / (s.sx - s.sxPrev);
            x = s.sxPrev - (x - s.sxPrev) / df * s.sfPrev;
        }
        s.sxBr = s.sxPrev;
        s.sfBr = s.sfPrev;
        s.bracketed = true;
        return;
    }
    if (s.bracketed && f * s.sfBr < 0.0f) {
        // same side as the trial before; the root lies towards the last trial
        // on the other side: regula falsi with that side's residual halved
        const float fBr = 0.5f * s.sfBr;
        const float xn = x - f * (x - s.sxBr) / (f - fBr);
        // Stuck: the step no longer moves x, or (for a drifting residual) the
        // trials close in on the kept trial while the residual stays where it
        // was, a sign that the kept trial's residual is stale.
        const bool stale = restart > 0.0f && std::fabs(f - s.sfPrev) < 0.1f * std::fabs(f);
        const bool stuck = stale || std::fabs(xn - x) <= 1e-7f * std::max(1.0f, std::fabs(x));
        if (!stuck || std::fabs(f) <= restart) {
            s.sfBr = fBr;
            x = xn;
            return;
        }
        s.bracketed = false;
        if (std::isfinite(s.sSlope) && s.sSlope != 0.0f) {
            // the residual has moved past the kept trial: Newton step with the
            // slope of the bracketing pair, a new bracket is sought from here
            x = std::clamp(x - f / s.sSlope, lo, hi);
            return;
        }
    }
    x = std::clamp(2.0f * x - s.sxPrev, lo, hi);
}

void rfalsi(RunContext& ctx, std::string_view name, int slot, int& counter, float x1, float x2,
            float& lower, float& upper, float& x, float& f) {
    if (ctx.failed()) return;
    constexpr float t = 0.00001f;
    StepSlot& s = ctx.steps.at(slot);
    ++counter;
    if (counter > 1000) {
        abort_run(ctx, 84, name);
        return;
    }
    if (counter == 1) {
        s.rLower = lower;
        s.rUpper = upper;
        s.rSlope = 0.0f;
        s.rx1 = x1;
        s.rx2 = x2;
        x = x1;
    } else if (counter == 2) {
        x = x2;
    } else {
        const float a = s.ra, b = s.rb, fp = s.rfPrev;
        if (std::fabs(f - fp) <= t) {
            // residual did not change: halve towards the bound on the side of the move
            x = (b <= a) ? 0.5f * (b + lower) : 0.5f * (b + upper);
        } else {
            x = a - (b - a) / (f - fp) * fp;
            if (std::fabs(b - a) < t) x = 0.5f * (a + b);
        }
        if (std::fabs(a - b) < t && f * fp < 0.0f) {
            x = 0.5f * (a + b);
            f = 0.0f;
        }
        if (std::fabs(x - b) < t && f * fp > 0.0f) {
            // no progress on one side of the root
            if (b > a) x = std::min(upper, 1.5f * b);
            else if (b < a) x = std::max(lower, 0.5f * b);
        }
        if (x > upper) x = 0.5f * (upper + b);
        if (x < lower) x = 0.5f * (lower + b);

        // narrow the bracket with the sign of the residual at the newer trial
        if (std::fabs(s.rSlope) < t && std::fabs(s.rx2 - s.rx1) > t)
            s.rSlope = (f - fp) / (s.rx2 - s.rx1);
        if (f != 0.0f) {
            if (s.rSlope > 0.0f) {
                if (f > 0.0f) upper = std::min(upper, b);
                else lower = std::max(lower, b);
            } else if (s.rSlope < 0.0f) {
                if (f < 0.0f) upper = std::min(upper, b);
                else lower = std::max(lower, b);
            }
        }
    }
    s.ra = s.rb;
    s.rb = x;
    s.rfPrev = f;
}

void itmnmx(RunContext& ctx, int slot, int& counter, float& x, float f, float xtol, float ftol,
            char& flag) {
    if (ctx.failed()) return;
    if (std::fabs(f) <= ftol) {
        flag = 'T';
        return;
    }
    StepSlot& s = ctx.steps.at(slot);
    ++counter;
    const int sign = f >= 0.0f ? 1 : -1;
    if (counter == 1) {
        s.ma = x;
        s.mSign = sign;
        return;
    }
    if (counter == 2) {
        s.mb = x;
        if (sign == s.mSign) {
            flag = '0';
            return;
        }
    } else {
        if (sign == s.mSign) s.ma = x;
        else s.mb = x;
        if (std::fabs(s.mb - s.ma) <= xtol) {
            x = 0.5f * (s.ma + s.mb);
            flag = 'T';
            return;
        }
    }
    x = 0.5f * (s.ma + s.mb);
}

}  // namespace rivola::hyd
