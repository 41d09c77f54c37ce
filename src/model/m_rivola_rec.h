// m_rivola_rec: the screen table (R elements, by screen ordinal, 1-based).
#pragma once

namespace rivola {

struct ScreenData {
    float dh = 0.0f;                 // given water-level difference across the screen (HVE_HVE)
};

}  // namespace rivola
