// m_rivola_pumpe: the pump table (P elements, by pump ordinal, 1-based).
#pragma once

namespace rivola {

struct PumpData {
    float H = 0.0f;                  // switch-on level above the pump's invert ("h,D", HVE_H)
};

}  // namespace rivola
