// pruefung: plausibility checks of a variant before anything is computed:
// table capacities, the links between the elements, GEO data, HVE data and the
// HVE data as distributed into the per-type tables. Every finding goes into the
// check list with the element's designation; the worst severity is stored in
// the run's error level, and the caller ends the run at level 2.
#pragma once

namespace rivola {
struct RunContext;
}

namespace rivola::checks {

// Element counts of every type against the capacities of the model.
void prumax(RunContext& ctx);
// The links between the elements (system logic).
void prusys(RunContext& ctx);
// GEO data of element i as read, before the set-up completes them: a length,
// width or height (crown rise, layer height) below 0 is an error.
void prudim(RunContext& ctx, int i);
// GEO data after they have been completed by the set-up; sets every GEO value
// that is not given to 0 at the end.
void prugeo(RunContext& ctx);
// HVE data as read; sets the per-element flag that HVE data are present.
void pruhve(RunContext& ctx);
// Weirs, walls, measurement flumes and pumps with their per-type tables.
void prumuw(RunContext& ctx);
// Deletes the scratch files of the check step in the working directory.
void del_pru(RunContext& ctx);

}  // namespace rivola::checks
