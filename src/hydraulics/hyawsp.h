// hyawsp: the water-level walk. The elements are computed against the flow,
// from the plant outlet (the last element) to the plant inlet (element 1): the
// junction hands the state at the inlet end of the downstream element to the
// outlet end of the element, and the element's own computation carries it to
// its inlet end. Plants with divisions are walked pass after pass until the
// split of every free division balances the energy heights of its branches.
//
// Every routine takes the element number i and returns at once when the run's
// error level is 2 or more. The element's type ordinal (`iord`) is its row in
// the per-type tables. The lanes of a pass may be computed on threads of their
// own (lane_walk.h): a routine reads the elements its element discharges into
// and writes only its own element, its own rows of the tables and, for the
// first element of a division's branch, that branch's loss row.
#pragma once

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// The walk with its pass loop.
void wsp_rivola(RunContext& ctx);
// Sizes the walk's per-type tables and counts the type ordinal of every element.
void wsp_prepare(RunContext& ctx);

// ---- element computations: flumes, pipes, basins, screens, in-/outlets,
// pumps, measurement flumes, walls and weirs ----

// Junction between the outlet end of i and the inlet end of its downstream element.
void hyaneu(RunContext& ctx, int i);
// Flume, pressure pipe, basin and the channel part of a screen.
void hyatrs(RunContext& ctx, int i);
// Screen with a given water-level difference.
void hyarec_wsp_diff(RunContext& ctx, int i);
// In- or outlet inside the system (not element 1).
void hyaqzu(RunContext& ctx, int i);
// Pump: the switch-on level on its suction side.
void hyapum(RunContext& ctx, int i);
// Measurement flume: two halves around the throat.
void hyames(RunContext& ctx, int i);
// Wall with openings (and sluice gate).
void hyawan(RunContext& ctx, int i);
// Weir: free, submerged by iteration, submerged by formula.
void hyaueb(RunContext& ctx, int i);
// Reloads the stored outlet-end state of i into the current section.
void sysdwn(RunContext& ctx, int i);

// ---- element computations: divisions, confluences, distribution and
// collection flumes, immersion tubes and siphon weirs ----

void hyazwg(RunContext& ctx, int i);
void hyaauf(RunContext& ctx, int i);
void hyazus(RunContext& ctx, int i);
void hyasam(RunContext& ctx, int i);
void hyaver(RunContext& ctx, int i);
void hyatau(RunContext& ctx, int i);
// Element j of siphon weir s, under pressure flow.
void hya_heber(RunContext& ctx, int s, int j);

// ---- shared pieces of the element computations ----

// Velocity head v^2/(2g) as the computations write it.
float vhead(float v);
// Wall shear stress from the hydraulic diameter and the friction slope.
float tau(float dhy, float I);
// "v " / "V " in remark slot 4 of the current state by the velocity limits.
void velocity_remarks(RunContext& ctx, float v);
// Stores the current state at the inlet end of i with its shear stress and
// remarks, and blanks the current remark slots.
void finish_inlet(RunContext& ctx, int i);
// Type ordinal of element i (its row in its type's tables); for a V or S
// letter element its row in the V or S tables.
int ordinal(const RunContext& ctx, int i);
int ordinal_vs(const RunContext& ctx, int i);

// The downstream boundary of the walk: the state at the outlet end of the
// last element, from the given outlet level or the outlet's critical depth.
void start(RunContext& ctx);

// Clears the results of element i before it is computed.
void setnul(RunContext& ctx, int i);

}  // namespace rivola::hyd
