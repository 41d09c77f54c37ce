#include "hydraulics/geomet.h"

#include <algorithm>
#include <cmath>

#include "run/context.h"

namespace rivola::hyd {

// ---------------------------------------------------------------------------
// Profile normalisation

void profil_one(EndProfile& p, bool branch) {
    p.H[0] = 2e-5f;
    if (p.H[1] <= 4e-5f) {
        // the first pair describes the bottom itself: its width is the bottom
        // width and the pair is dropped
        p.B[0] = p.B[1];
        for (int j = 1; j <= 5; ++j) {
            p.H[j] = p.H[j + 1];
            p.B[j] = p.B[j + 1];
        }
        p.H[6] = 0.0f;
        p.B[6] = 0.0f;
    } else {
        p.B[0] = (p.T[1] == 'T') ? p.B[1] : 2e-5f;
    }
    p.n = branch ? 0 : 6;
    for (int j = 6; j >= 1; --j) {
        if (p.H[j] > 4e-5f) {
            p.n = j;
            break;
        }
    }
}

void profil(RunContext& ctx, int i) {
    if (ctx.failed()) return;
    Element& e = ctx.plant.el[i];
    const char letter = e.bez.empty() ? ' ' : e.bez[0];
    if (e.ityp == T_A && letter != 'V') {
        profil_one(e.prof[kProfUp], false);
        profil_one(e.prof[kProfBranch1], true);
        profil_one(e.prof[kProfBranch2], true);
    } else if (e.ityp == T_Z && letter != 'S') {
        profil_one(e.prof[kProfDown], false);
        profil_one(e.prof[kProfBranch1], true);
        profil_one(e.prof[kProfBranch2], true);
    } else {
        profil_one(e.prof[kProfDown], false);
        profil_one(e.prof[kProfUp], false);
    }
}

// ---------------------------------------------------------------------------
// Circular segment

void kreis(float h, float D, float& A, float& B, float& U) {
    const float r = 0.5f * D;
    if (h >= D - 2e-5f) {
        A = kPi * r * r;
        B = 0.0f;
        U = kPi * D;
    } else if (h <= 2e-5f) {
        A = B = U = 0.0f;
    } else {
        B = 2.0f * std::sqrt(h * (D - h));
        const float c = std::clamp(1.0f - h / r, -1.0f, 1.0f);
        const float theta = 2.0f * std::acos(c);
        A = 0.5f * (r * r * theta - (r - h) * B);
        U = r * theta;
    }
}

}  // namespace rivola::hyd
