// abfluss (m_abfluss): the discharge of every element. Before the water-level
// walk the smallest and largest discharge that the network allows is found for
// every element end (qmnmx), then the starting splits of the divisions and the
// starting discharges (qanf); in every further pass the discharges follow from
// the current splits (qfluss), keeping the minimum discharges that divisions
// must deliver.
//
// Element ends: 1 = outlet end, 2 = inlet end (Element::res). Divisions keep
// the bounds of their two outlets in Plant::auf (Qa1min ... Qa2max).
#pragma once

#include <vector>

namespace rivola {
struct RunContext;
}

namespace rivola::hyd {

// Tolerance of the discharge comparisons of the bounds (m3/s).
inline constexpr float kQTol = 0.0001f;

// Discharge bounds of all elements; Q of both ends is set to the upper bound.
// An unmet requirement gives Q08 (error level 2) and false: the bounds found so
// far are left for the discharge log of the check list.
bool qmnmx(RunContext& ctx);
// Inlet bounds of element i from its first inlet (an outlet of a division, or
// the outlet end of an ordinary element); nothing for a confluence.
void zulauf_qmnmx(RunContext& ctx, int i);
// Carries a required additional discharge dQ from element i upstream (kind
// 'A': a division whose outlets need more than it receives; 'Q': an outflow
// that exceeds its inflow). Returns the element at which the bound computation
// resumes (a division or confluence), 0 after Q08. `n` counts the corrections.
int qkor_a(RunContext& ctx, char kind, int i, float dQ, int& n);
// Bounds at confluence i: its requirement from below is split onto the paths
// of its two inlets where one inlet alone cannot cover it. Returns i when the
// confluence is settled, else the element at which to resume (0 after Q08).
int qmnmxz(RunContext& ctx, int i);
// The same with the inflows before each element given (index isys).
int qmnmxz(RunContext& ctx, int i, const std::vector<float>* upstream);
// Raises the minimum of the path that feeds inlet j of confluence i by dQ.
// Returns the element at which to resume, 0 after Q08.
int qkor_z(RunContext& ctx, int i, int j, float dQ);
// The open path of inlet j of confluence i: the elements from the inlet
// upstream along first inlets up to (and including) the division or
// confluence where the path begins, or element 1.
std::vector<int> zoffen(const RunContext& ctx, int i, int j);

// Starting splits of the divisions that are not fixed and starting discharges.
void qanf(RunContext& ctx);
// Discharges of one pass of the walk from the current splits.
void qfluss(RunContext& ctx);

}  // namespace rivola::hyd
