#include "support/m_interpol.h"

namespace rivola::support {

float rkennl_4(const float* x, const float* y, int n, float xv) {
    if (n <= 0) return 0.0f;
    if (xv <= x[0]) return y[0];
    for (int k = 1; k < n; ++k) {
        if (xv <= x[k]) {
            const float dx = x[k] - x[k - 1];
            if (dx <= 0.0f) return y[k];
            return y[k - 1] + (y[k] - y[k - 1]) * (xv - x[k - 1]) / dx;
        }
    }
    return y[n - 1];
}

}  // namespace rivola::support
