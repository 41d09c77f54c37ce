// m_rivola_tau: the immersion-tube table (T elements, by tube ordinal, 1-based).
#pragma once

namespace rivola {

struct TubeData {
    int n = 1;                       // number of tubes (HVE_N)
    int nl = 0;                      // number of holes per tube (tube length / spacing)
    float a = 0.0f;                  // spacing of the holes (HVE_A)
    float fl = 0.0f;                 // cross-section of one hole (m2)
    char T = ' ';                    // hole shape: 'K' circle of diameter H, 'T' trapezoid
    float H = 0.0f;                  // "h,D": hole height or diameter
    float BU = 0.0f, BO = 0.0f;      // bottom and top width of a hole
};

}  // namespace rivola
