// Overflow weirs, crest flow and the sluice formula of wall openings.
//
// A weir crest is described by n equal fields, the discharge coefficient mu and
// a notch: a lower trapezoidal part of height H1 (0 = none) widening from the
// crest width b0 to b1, and vertical walls of width b2 above it. All values in
// single precision, SI units (m, m3/s).
#pragma once

#include <string_view>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// (2/3)*sqrt(2g), the constant of the weir law.
inline constexpr float kWeirC = 2.95246f;

// Discharge over a free weir at the head h over the crest (the weir law).
float q_weir(float h, int n, float mue, float H1, float b0, float b1, float b2);

// Head over a free (unsubmerged) weir carrying Q. Returns -1.0 when the run
// stops inside the iteration (error level 2).
float hwehr(RunContext& ctx, std::string_view name, float Q, float mue, int n, float H1,
            float b0, float b1, float b2);

// Upstream head over a submerged weir with the downstream head hu over the
// crest; p is the exponent of the submergence law. Returns hu when the weir is
// drowned, -1.0 when the run stops inside the iteration.
float hwehr_unvollkommen(RunContext& ctx, std::string_view name, float Q, float hu, float mue,
                         float p, int n, float H1, float b0, float b1, float b2);

// Flow area A, velocity v and energy height hE over a weir crest at depth h.
void fktueb(float h, float Q, int n, float H1, float b2, float b0, float b1, float& A, float& v,
            float& hE);

// Sluice formula for an opening of area A with discharge coefficient mue:
// mode 'Q' gives the discharge for the head difference x, mode 'h' the head
// difference needed for the discharge x; any other mode gives 0.
float schuetzformel(char mode, float x, float A, float mue);

}  // namespace rivola::hyd
