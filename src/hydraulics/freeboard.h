// Freeboard of the computed water surface: at every element end the height of
// the top of the section above the water level. The check list warns where an
// open section runs over (F01), where a closed section that is not meant to
// run full is under pressure (F02), and, when the variant asks for a freeboard
// (tbl_all.Freibord), where less is left (F03); a summary line (F04) closes
// this part.
#pragma once

#include <optional>

#include "model/context.h"

namespace rivola::hyd {

// The profile of end `end` (1 outlet, 2 inlet) of element i.
const EndProfile& end_profile(const Element& e, int end);

// Whether the sections of an element are channels with a top that the water
// must stay below. The profile of a weir is its body up to the crest, that of
// a wall or an immersion tube its opening: water above them is their normal
// state, not an overtopping.
bool has_channel_top(const Element& e);

// Freeboard at end `end` of element i, m: top of the open section above the
// water level. None for a closed section, an element without a channel top
// and an end that carries no flow.
std::optional<float> end_freeboard(const Plant& p, int i, int end);

// A closed section under pressure where the element is not built for it
// (pressure pipes, siphons, immersion tubes and wall openings are).
bool surcharged(const Plant& p, int i, int end);

// The freeboard part of the check list, after the water-level walk.
void check_freeboard(RunContext& ctx);

}  // namespace rivola::hyd
