// output: the result listings of a calculation run, written from the element
// results for printing: the full result listing base + ".ERG", the abbreviated
// listing base + ".ERK" (the elements marked for it), the discharge
// distribution at divisions and confluences base + ".QVE" and the energy
// listing of the pumps base + ".EEF". Pages are `Zeilen` lines long (a form
// feed starts every page but the first), each with the title lines, the page
// number and the date at its head and the program line at its foot. Texts are
// German or English after the run's language; widths count characters.
//
// Also here: the discharge log in the check list (`outqqq`) and the table of the element links (`outsys`). The water-level line of the
// run-status display is `outwsp_screen` (output/outwsp_screen.h).
//
// Element tables are 1-based (ctx.plant.el[1..nsys]).
#pragma once

#include <string>
#include <vector>

namespace rivola {
struct RunContext;
}

namespace rivola::output {

// Kinds of listing.
enum class Kind { ERG, ERK, QVE, EEF };

// Width of a kind's table in characters.
int table_width(Kind k);

// The four listings (the run driver calls them in this order: outerg, outqve,
// outerk, outeef). outqve writes nothing when the plant has no division or
// confluence, outerk nothing when no element is marked with out_erk = "J"; a
// stale file of that kind from an earlier run is then removed.
void outerg(RunContext& ctx);
void outqve(RunContext& ctx);
void outerk(RunContext& ctx);
void outeef(RunContext& ctx);
// Every listing closes its file when it is done; nothing stays open.
void close_listings(RunContext& ctx);

// The lines of element i as the result listing shows them (one to four lines
// of 130 characters). Completes the remarks of the element first and raises
// the warnings of walls (W50 to W53) and divisions (W60, W61). Empty for an element
// without a type (letter E).
std::vector<std::string> element_lines(RunContext& ctx, int i);

// Completes the remark slots of element i with the codes that follow from its
// results: "Hw" on both ends of a pipe of a siphon weir and "Kv" where its depth
// is below -7.0 m (cavitation), "FS" on an end of any other pressure pipe whose
// depth is below the board height, and no velocity remark (slot 4) at basins.
// Repeating it changes nothing.
void complete_remarks(RunContext& ctx, int i);

// Board height of an end (1 outlet, 2 inlet) or a branch profile slot of
// element i: the crown rise plus the height of the top break point.
float board_height(const RunContext& ctx, int i, int profileSlot);

// Power of a discharge Q (m3/s) lifted by a head H (m), in kW.
float power_kw(float Q, float H);
// Values of one pump in the energy listing: discharge, delivery head (energy
// level it delivers into minus its suction level), loss head of the pressure
// pipes directly behind it, pump power and power loss (kW).
struct PumpEnergy {
    float Q = 0, H = 0, Hv = 0, Pp = 0, Pv = 0;
};
PumpEnergy pump_energy(const RunContext& ctx, int i);
// Power losses up to this value (kW) are not summed in the energy listing.
inline constexpr float kPvThreshold = 0.01f;

// ---- traces ----
// The discharge log in the check list (through "OUTQQQ"): every element with
// its discharges and bounds at both ends.
void outqqq(RunContext& ctx);
// The table of the element links ("erweiterte Systemlogik") in the check list.
void outsys(RunContext& ctx);

}  // namespace rivola::output
