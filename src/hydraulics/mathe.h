// mathe: small numerical routines of the hydraulic formulas: a dense linear
// solver with row pivoting, the two-parabola system of a berm zone, the joint
// between the parabolas, the tangent point of a berm zone, magnitude-scaled
// tolerances, the decimal exponent of a number and exact addition of numbers
// held as an integer mantissa and a power-of-two exponent.
//
// Matrices are dense and column-major with leading dimension ndim: element
// (i, j), 1-based, is a[(i - 1) + (j - 1) * ndim]; vectors are b[i - 1].
#pragma once

#include <array>
#include <cstdint>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

inline constexpr int kGaussDim = 10;   // the only leading dimension gauss accepts
using Matrix10 = std::array<float, kGaussDim * kGaussDim>;
using Vector10 = std::array<float, kGaussDim>;

// Solves A x = b for n equations; A and b are overwritten. Stops the run with
// screen message 102 (n > ndim), 103 (ndim other than 10) or 104 (singular
// system; the system is written to "GAUSS.MTR" next to the variant).
void gauss(RunContext& ctx, int ndim, int n, float* a, float* b, float* x);

// Triangular decomposition with row pivoting (rows are not swapped; ip(k) is
// the pivot row of column k, piv(k) its pivot); nsing = number of pivots at or
// below eps (0 = regular). ip and piv hold n entries.
void vtrian(float* a, float* b, int n, float eps, int* ip, float* piv, int& nsing, int ndim);
// Back substitution after vtrian.
void vrueck(const float* a, const float* b, int n, const int* ip, float* x, int ndim);

// The 6 x 6 system of a berm zone in a 10 x 10 array: unknowns c0, c1, c2 of
// piece 1 and d0, d1, d2 of piece 2; values and slopes at x0 and x1, equal value
// and slope at the joint xm.
void matrix(float x0, float xm, float x1, float E0, float E1, float s0, float s1, Matrix10& a,
            Vector10& r);

// Joint of the two parabolas between x0 and x1 from the end values and slopes.
float splmit(float x0, float E0, float s0, float x1, float E1, float s1);

// Tangent point of berm zone `zone` of the current cross-section for the
// discharge Q: the depth h_t where the tangent from the zone's lower end meets
// the energy curve, and the tangent's value E_t there.
void tangnt(RunContext& ctx, int zone, float Q, float& ht, float& Et);

// Tolerance scaled with the magnitude of x: e when x < 1000 e, else
// max(e, 2^(log2 x - 22)) (single precision) or 2^(log2 x - 51) (double).
float eps_d_4(float x, float e);
double eps_d_8(double x, double e);

// Decimal exponent: [1, 10) -> 1, [10, 100) -> 2, [0.1, 1) -> -1 ...; 0 for
// |x| <= 1e-6 and for exactly 1.
int potenz_10(float x);

// Exact addition of m1 * 2^e1 and m2 * 2^e2 into the normalised m * 2^e
// (m odd, or m = e = 0). The operand with the larger exponent is aligned in place.
void addexp2(std::int32_t& m1, std::int32_t& e1, std::int32_t& m2, std::int32_t& e2,
             std::int32_t& m, std::int32_t& e);

}  // namespace rivola::hyd
