// m_interpol: characteristic curves given by points.
#pragma once

namespace rivola::support {

// Piecewise-linear interpolation at xv through the n points (x[k], y[k]),
// k = 0..n-1, with x rising; outside the points the end value holds.
float rkennl_4(const float* x, const float* y, int n, float xv);

}  // namespace rivola::support
