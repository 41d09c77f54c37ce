// Results and working state of the water-level walk that are kept by element
// type ordinal: the throat records of measurement flumes, the energy
// differences and remarks of the branches of divisions, the remarks of the
// inlets of confluences, the upstream states of distribution and collection
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

// Per division (ordinal among A elements and dividing V elements); the states
// computed through its two branches are kept with the division's data
// (Plant::auf, DivisionData::branch).
struct DivisionState {
    int isys = 0;                         // the division element
    float dE = 0;                         // required he(branch 1) - he(branch 2) of the last pass
    std::array<float, 3> surplus{};       // energy a branch held at critical depth carries
                                          // above what its outlet requires (0: none)
    float dEold = 0;                      // dE of the pass before
    int it = 0;                           // number of iteration steps taken on the split
    std::array<float, 3> hvu{};           // transition loss of branches 1, 2 (distribution flume)
    std::array<std::array<std::string, 6>, 3> bem;  // remarks of branches 1, 2
};

// Per confluence; the states at its two inlets are kept with the confluence's
// data (Plant::zus, ConfluenceData::inlet).
struct ConfluenceState {
    std::array<float, 3> Tau{};           // shear stress at inlets 1, 2
    std::array<std::array<std::string, 6>, 3> bem;  // remarks of inlets 1, 2
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

    // ---- rows of V- and S-letter elements in the V and S tables, counted
    // once per walk (dividing V and joining S included) ----
    std::vector<int> ordVS;

    // ---- full heights of the end profiles of closed sections (hzu), by
    // element and node; they depend on the geometry alone, so each is searched
    // once per walk (NaN: not searched yet) ----
    std::vector<std::array<float, 3>> hfull;

    // ---- the walk ----
    int pass = -1;                        // pass counter (0 = first pass)
    bool stop = false;                    // stop flag of the walk
    bool early = false;                   // the walk stopped at the maximum passes
    bool divInit = false;                 // division iteration counters cleared in this run
    int heberCnt = 0;                     // siphon-weir counter
    std::vector<std::FILE*> iterLog;      // open iteration log per division ordinal
};

}  // namespace rivola
