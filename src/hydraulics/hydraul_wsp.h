// The water surface along flumes: the energy equation (flumes, screens,
// measurement flumes, in- and outlets, division branches, confluences) and the
// momentum equation (distribution and collection flumes, whose discharge
// changes along them) between the previous section (slot 1) and the current
// section (slot 2) of the current cross-section, and the stepping along an
// element from the node where the computation enters it.
//
// The step length of a balance is the current length ctx.cs.dx (signed); the
// loss heights of the step land in ctx.cs.hR (friction), hB (change of
// section) and hL (local losses). Section flags go into the current remark
// slots: "gr" (depth set to critical) into slot 1, "ü" (an open section
// overtopped) or "d" (a closed section under pressure) into slot 3.
#pragma once

#include <string_view>
#include <vector>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// One computed position of a water-surface profile (for plots and traces).
struct SurfacePoint {
    float x = 0;      // distance from the element's entry node
    float wsp = 0;    // water level
    float E = 0;      // energy level
};

// Energy equation for the depth of the current section; s = 1 at the
// element's entry node, 2 at position x inside it.
void hevgl(RunContext& ctx, std::string_view name, int s, int i, float x);

// Energy equation for a section running full (pressure flow) over dx.
void hevgl_druck(RunContext& ctx, std::string_view name, int s, int i, float dx);

// Steps along element i with the energy equation from x to x_end; sumR is the
// sum of friction losses, sumL of the other losses. x ends at x_end.
void ber0i(RunContext& ctx, std::string_view name, int i, float& x, float x_end, float& sumR,
           float& sumL, std::vector<SurfacePoint>* track = nullptr);

// Momentum function of the current section including the forces between the
// two sections of a step in direction dir (+1/-1) for element type `type`.
float swsp_2(RunContext& ctx, std::string_view name, float dir, int type);

// Momentum equation for the depth of the current section.
void impvgl(RunContext& ctx, std::string_view name, int type);

// Steps along a distribution or collection flume with the momentum equation
// from x to x_end (either direction).
void impuls(RunContext& ctx, std::string_view name, int i, int type, float& x, float x_end,
            float& sumR, float& sumL, std::vector<SurfacePoint>* track = nullptr);

}  // namespace rivola::hyd
