// m_rivola_mes: the measurement-flume table (M elements, by flume ordinal, 1-based).
#pragma once

namespace rivola {

struct MeasFlumeData {
    float b = 0.0f;                  // width of the rectangular throat (HVE_BU)
    float s = 0.0f;                  // height of the sill in the throat ("h,D", HVE_H)
};

}  // namespace rivola
