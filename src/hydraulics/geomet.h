// geomet: cross-section geometry. Every conduit of an element is described by
// two end profiles, the downstream one (s = 1, node 1, x = 0) and the upstream
// one (s = 2, node 2, x = L); the computation runs against the flow. These
// routines load the profile at a position into the current cross-section (ctx.cs) and answer the geometric questions
// of the hydraulic routines: area, width, perimeter and hydraulic diameter at a
// depth, full-section heights, circle diameters and invert levels.
//
// Break points of the loaded profile are 1-based (point 1 is the bottom); the
// end profiles of an element keep their points 0..n (point 0 the bottom).
#pragma once

#include <string_view>

namespace rivola {
struct RunContext;
struct EndProfile;
}

namespace rivola::hyd {

struct Qercmn;
inline constexpr float kPi = 3.141593f;

// Circular segment of depth h in a circle of diameter D: area A, surface width
// B, wetted perimeter U. A depth within 2e-5 of D counts as the full circle.
void kreis(float h, float D, float& A, float& B, float& U);

// Loads the current cross-section for element i: s = 1 the entry node, s = 2
// the position x (distance from node 1). `name` is the calling routine; the
// distribution and collection flume computations ("HYAVER", "HYASAM") place
// the section at x even when x is 0. Sets the profile, the element values
// (roughness, slope, invert Zx and discharge Qx at the position, also as
// invert and discharge of the current section with dz = Zx - invert of the
// previous section), the berm zones and the critical values.
void qergeo(RunContext& ctx, std::string_view name, int s, int i, float x);
// Profile at a position (dquer) with the circle diameters and the type name.
void qerprf(RunContext& ctx, int s, int i, float x);
// Break points at a position: an end profile, or the blend of both.
void dquer(RunContext& ctx, int s, int i, float x);
// Circle diameters, apex height and type name of the break points loaded in
// the current cross-section.
void profile_type(Qercmn& cs);
// Cumulative area and wetted perimeter at the break points of the loaded
// profile; an open profile is extended to 9999.99 m with its top width.
void mquer(RunContext& ctx);

// Area A, surface width B, hydraulic diameter dhy, velocity v, friction slope
// IR and energy height hE = h + v^2/(2g) of the loaded profile at depth h for
// the discharge Q. The wetted perimeter is kept in ctx.cs.Uw.
void qerhya(RunContext& ctx, float Q, float h, float& A, float& B, float& dhy, float& v,
            float& IR, float& hE);
// The geometric part of qerhya: A, B, U at depth h.
void qerhya_geo(RunContext& ctx, float h, float& A, float& B, float& U);

// Invert level that element i discharges into.
float zsohle(RunContext& ctx, int i);

// Moves the current section into the previous-section slots.
void prf21(RunContext& ctx);

// ---- loaders for parts of elements (geomet_parts.cpp) ----

// Gives element i, which follows branch k of a division, the geometry of that
// branch: its length becomes 0, its downstream end profile the branch profile,
// its Borda coefficient, single-loss head and loss coefficient those of the
// branch; then the state downstream of i is fetched (qerdwn).
void geoauf(RunContext& ctx, int k, int i);
// Puts the inlet-end state of the element below i (outlet j of a division, or
// the stored inlet state of a confluence) into the previous-section slots.
void qerdwn(RunContext& ctx, int j, int i);
// Makes inlet j of confluence i the inlet end of i (discharge, type, invert,
// crown rise, profile and single losses of that inlet).
void qerzus(RunContext& ctx, int j, int i);
// Loads one opening of wall i as the current cross-section.
void qerwan(RunContext& ctx, int i);
// Loads one tube of immersion tube i as the current cross-section.
void qertau(RunContext& ctx, int i);
// Prepares branch j of division i: the state at the inlet of outlet j goes
// into the previous-section slots, and the section of the branch (its branch
// profile downstream, the division's inlet profile upstream) with the branch's
// loss coefficients is loaded at the division's inlet end (x = L).
void qerauf(RunContext& ctx, int j, int i);
// The state of distribution flume i at its downstream end (x = 0) towards its
// outlet j, which continues at that end: as at any junction, from the energy
// height at the outlet element's inlet when that element does not back water
// up (a wall, an immersion tube, a weir with free overflow), otherwise from
// the energy balance across the junction. The state is in the current
// section; `name` is the calling routine.
void qerver(RunContext& ctx, std::string_view name, int j, int i);

}  // namespace rivola::hyd
