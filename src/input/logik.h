// logik: the flow paths of the element system: resolving the inlet and outlet
// names into element numbers, the strand numbers and the flow lengths.
#pragma once

namespace rivola {
struct RunContext;
}

namespace rivola::input {

// Resolves zulauf1/2 and ablauf1/2 into izu/iab (0 when no element has the
// name; when two elements share a name the later one is taken).
void resolve_links(RunContext& ctx);
// Strand numbers: the main strand is 1, each second outlet of a division
// opens the next strand, a confluence continues the smaller of its inlets'.
void strang(RunContext& ctx);
// Flow length from the system inlet to the upstream end of every element
// (for a confluence to its downstream end) and to the inlets of confluences.
void fliesslaenge(RunContext& ctx);

}  // namespace rivola::input
