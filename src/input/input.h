// input: reads one variant and sets up the element system: base settings,
// types and connections, strands and flow lengths, inflows, GEO and HVE data,
// each followed by its checks.
#pragma once

namespace rivola {
struct RunContext;
struct EndProfile;
}

namespace rivola::input {

// Reads the variant (ctx.run.dbPath) into the plant model (error level 3
// when it cannot be read).
void read_variant(RunContext& ctx);

// The stations of the set-up, each only while the error level is below 2:
// base settings, types, links, strands, flow lengths and inflows with their
// checks (inall, insys); the geometry (ingeo); the single losses and their
// checks (inhve). The discharge bounds, the sluice-gate table and the input
// echo come between links and geometry (the run driver calls them).
void setup_links(RunContext& ctx);
void setup_geometry(RunContext& ctx);
void setup_losses(RunContext& ctx);

// Warnings on the base settings (velocity, width and height bounds).
void inall(RunContext& ctx);
// Types, connections, siphon weirs, sluice gates, division settings, then
// the system checks, strands, flow lengths and inflows.
void insys(RunContext& ctx);
// Inflows of the Q elements in m3/s.
void inqzu(RunContext& ctx);
// Completes the GEO data, checks them and normalises the profiles.
void ingeo(RunContext& ctx);
// Normalises the profiles of element i in place: the bottom point 0, the
// layers moved down when the first one describes the bottom, and the index of
// the highest valid break point. Ordinary elements (and V, S) have both end
// profiles; a division its upstream end profile and two branch profiles, a
// confluence its downstream end profile and two branch profiles.
void profil(RunContext& ctx, int i);
// One profile; `branch` selects the count for a profile without any valid point
// (6 for an end profile, 0 for a branch profile).
void profil_one(EndProfile& p, bool branch);
// Distributes the HVE data into the element values and per-type tables,
// with the HVE checks before and after.
void inhve(RunContext& ctx);

}  // namespace rivola::input
