// m_rivola_ueb: the weir table (U elements, by weir ordinal, 1-based).
#pragma once

namespace rivola {

struct WeirData {
    float mue = 0.0f;                // discharge coefficient µ (HVE_mue)
    float n_c = 0.0f;                // exponent of the reduction for submerged overflow (HVE_n_c)
    float H = 0.0f;                  // height of the lower, trapezoidal part of the notch (HVE_H)
    float BU = 0.0f;                 // crest width at the bottom of the notch (HVE_BU)
    float BO = 0.0f;                 // width at the height H (HVE_BO)
    float N = 1.0f;                  // number of weir fields or teeth (HVE_N)
    float A = 0.0f;                  // spacing of the teeth (HVE_A)
    char kind = 'F';                 // 'F' free, 'T' submerged overflow (set by the computation)
    float submerged = 1.0f;          // weight of the submerged law in the short blend at the switch
};

}  // namespace rivola
