// m_qercmn: the current cross-section, the one working set through which the
// element computations and the hydraulic formulas exchange the profile being
// computed and the hydraulic state handed from element to element.
#pragma once

#include <array>
#include <string>

namespace rivola::hyd {

struct Qercmn {
    int loaded = 0;                  // element whose profile is loaded, 0 = none

    // hydraulic state of the current section
    float Q = 0, h = 0, A = 0, v = 0, dhy = 0, I = 0, he = 0;
    float zref1 = 0, zref2 = 0;      // reference inverts of the position computed
    float vab = 0;                   // velocity at the element's outlet
    float len = 0;                   // a length
    float hR = 0, hB = 0, hL = 0;    // friction, Borda and local loss of the last balance
    float dE = 0;                    // energy deficit of hvonhe
    float hvk = 0;                   // current friction loss
    std::array<std::string, 6> bem;  // current remark slots 1..5
};

}  // namespace rivola::hyd
