// Results and working state of the water-level walk that are kept by element
// type ordinal: the throat records of measurement flumes, the branch states of divisions, the inlet
// states of confluences, the upstream states of distribution and collection
// flumes, and the bookkeeping of the walk itself (pass counter, type counters,
// stop and convergence flags).
//
// Tables are 1-based by type ordinal (slot 0 unused), as the per-type tables of
// the plant model. They are sized by `wsp_prepare` at the start of a walk.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace rivola {

inline constexpr int kEnds = 3;           // ends 1 (outlet) and 2 (inlet); slot 0 unused

// A hydraulic state at one section: depth, area, velocity, hydraulic diameter,
// friction slope and energy height (above the section's invert).
struct HydState {
    float h = 0, A = 0, v = 0, dhy = 0, I = 0, he = 0;
};

// A measurement flume's state below the throat (record 1) and on the sill
// (record 2): water level, depth, area, velocity, shear stress, energy height
// and the friction and single loss up to that section.
struct ThroatRecord {
    float wsp = 0, h = 0, A = 0, v = 0, Tau = 0, he = 0, hvk = 0, hve = 0;
};

// The upstream state of a division computed through one of its outlet
// branches, with that branch's friction, single and transition loss and the
// remarks of the branch computation.
struct BranchState {
    HydState s;
    float hvk = 0, hve = 0, hvu = 0;
    std::array<std::string, 6> bem;       // remark slots 1..5
};

// Per division (ordinal among A elements and dividing V elements).
struct DivisionState {
    int isys = 0;                         // the division element
    float dE = 0;                         // he(branch 1) - he(branch 2) of the last pass
    float dEold = 0;                      // dE of the pass before
    int it = 0;                           // number of iteration steps taken on the split
    std::array<BranchState, 3> br;        // branches 1, 2
};

// Per confluence inlet: the state at that inlet, its invert and its loss.
struct ConfluenceInlet {
    HydState s;
    float z = 0;                          // invert of the inlet
    float loss = 0;                       // loss from the confluence's outlet to this inlet
    float hvk = 0, hve = 0;               // friction and single part of it
    float Tau = 0;                        // shear stress at the inlet
    std::array<std::string, 6> bem;
};

struct ConfluenceState {
    std::array<ConfluenceInlet, 3> in;    // inlets 1, 2
};

// The state at the upstream end of a distribution or collection flume.
struct FlumeState {
    bool stored = false;
    float wsp = 0, A = 0, v = 0, he = 0;
};

struct WspTables {
    // ---- by type ordinal ----
    std::vector<std::array<ThroatRecord, 3>> throat;  // M: records 1, 2
    std::vector<DivisionState> div;       // A and dividing V, by division ordinal
    std::vector<ConfluenceState> conf;    // Z and joining S, by confluence ordinal
    std::vector<FlumeState> vflume;       // V (type 4 and dividing V), by V ordinal
    std::vector<FlumeState> sflume;       // S (type 5 and joining S), by S ordinal

    // ---- type ordinals of every element, counted once per walk ----
    std::vector<int> ord;                 // ordinal among the elements of its ityp
    std::vector<int> ordVS;               // V- or S-letter elements: ordinal in the V/S tables

    // ---- the walk ----
    int pass = -1;                        // pass counter (0 = first pass)
    bool stop = false;                    // stop flag of the walk
    bool early = false;                   // the walk stopped at the maximum passes
    bool divInit = false;                 // division iteration counters cleared in this run
    std::array<int, 23> cnt{};            // type counters (ordinal of the element computed)
    int heberCnt = 0;                     // siphon-weir counter
    std::vector<std::FILE*> iterLog;      // open iteration log per division ordinal
};

}  // namespace rivola
