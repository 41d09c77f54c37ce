// Physical and numerical constants shared by the computations, the checks
// and the listings.
#pragma once

namespace rivola {

inline constexpr float kGravity = 9.80665f;        // acceleration of gravity, m/s²
inline constexpr float kInvGravity = 0.10197162f;  // 1/g, s²/m: velocity head v²/2g = v² · 0.5 · 1/g

// A length, level difference, depth, discharge or loss below this counts as
// none (m, m³/s): the resolution of the single-precision arithmetic of a plant
// some hundred metres above datum.
inline constexpr float kTiny = 0.00002f;

}  // namespace rivola
