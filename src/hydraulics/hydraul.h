// hydraul: hydraulic functions of the current cross-section (ctx.cs).
//
// This header is organised by subject; each group of routines lives in its own
// source file:
//   hydraul.cpp        friction, state at a depth, critical depth, depth from
//                      energy, capacity and full height of closed sections,
//                      hydrostatic force, loss at a change of section
//   hydraul_berm.cpp   berm zones: detection, replacement curves, upper bound
// Weirs, openings and sluices and the water surface along flumes have headers
// of their own (hydraul_weir.h, hydraul_wsp.h).
//
// Roughness: a value K <= 19.0 in the current cross-section is a sand
// roughness k_s in metres (Prandtl-Colebrook), above 19.0 a Strickler
// coefficient k_St in m^(1/3)/s (Manning-Strickler).
#pragma once

#include <string_view>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// ---- friction -------------------------------------------------------------

// Friction factor by Prandtl-Colebrook, with the laminar branch 96/Re below
// Re = 2300; 0 for a vanishing diameter, velocity or roughness.
float lambda(float k, float v, float d);
// Friction slope for a velocity and hydraulic diameter with the roughness K.
float friction_slope(float K, float v, float dhy);

// ---- state at a depth -----------------------------------------------------

// Hydraulic state of the current cross-section at depth h for the discharge Q:
// A flow area (the equivalent area inside a berm zone), A2 geometric area, B
// surface width, dhy, v, IR friction slope, hE energy height above the invert.
// `name` is the calling routine, shown when the energy curve of a berm zone
// falls below the depth (the run then stops with screen message 101).
void fkthya(RunContext& ctx, std::string_view name, float Q, float h, float& A, float& A2,
            float& B, float& dhy, float& v, float& IR, float& hE);

// Critical depth for the discharge Qx at the loaded position: fills hc, hEc,
// Ac, Bc and dc of the current cross-section.
void hgrenz(RunContext& ctx);

// Depth whose energy height equals E (measured from the invert of the previous
// section): loads the section (walls and immersion tubes through their own
// loaders, everything else through qergeo), fills the current section and its
// flags: "gr" in remark slot 1 with the energy deficit in cs.dE when E lies
// below the critical energy, "ü " in slot 3 when the depth exceeds the apex.
void hvonhe(RunContext& ctx, std::string_view name, int s, int i, float x, float E);

// ---- closed sections ------------------------------------------------------

// Discharge capacity of the section at depth y for unit slope; -1 when the run
// has stopped.
float qtvoll(RunContext& ctx, float y);
// Full height of a closed section (depth from which it counts as running
// full); an open section sets full-height slot s to 9999.9 and returns 0.
float hzu(RunContext& ctx, int s);

// ---- forces and losses ----------------------------------------------------

// Hydrostatic force per unit density of the wetted section at depth h
// (g times the first moment of area about the surface).
float pstat(RunContext& ctx, float h);
// Borda-Carnot loss between the previous section (1) and the current section
// (2) at the distance s; zeta a given loss coefficient (0 = none).
float hvboca(float zeta, float v1, float v2, float A1, float A2, float s);

// ---- berm zones -----------------------------------------------------------

// Strickler coefficient standing for the roughness K across a berm zone:
// 25.99641 k_s^(-1/6) for a sand roughness (K <= limit), K itself above. It
// enters the conveyance of a zone and its use alike and cancels out, so a
// section without roughness (K <= 0) takes 1.
float berm_strickler(float K, float limit);

// Finds the berms of the loaded section (at most 3; a fourth stops the run
// with screen message 82) and builds their replacement curves.
void chkbrm(RunContext& ctx, float x);
// Replacement energy curves and conveyance lines of the berm zones for Q.
void berme(RunContext& ctx, float x, float Q);
// Upper bound of berm zone `zone` with the tangent point ht.
float hoben(RunContext& ctx, int zone, float ht);

}  // namespace rivola::hyd
