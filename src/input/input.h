// input: reads one variant and sets up the element system: base settings,
// types and connections, strands and flow lengths, inflows, the first
// discharge estimate, GEO and HVE data, each followed by its checks.
#pragma once

namespace rivola {
struct RunContext;
}

namespace rivola::input {

// The whole step: reads the variant (ctx.run.dbPath) and sets it up.
void input(RunContext& ctx);
// The first half of it: reads the variant into the plant model (error
// level 3 when it cannot be read).
void read_variant(RunContext& ctx);

// Everything after the variant has been read into the plant model: inall,
// insys, ingeo and inhve in this order, each only while the error level is
// below 2, with the progress lines on the screen log.
void setup_system(RunContext& ctx);

// Warnings on the base settings (velocity, width and height bounds).
void inall(RunContext& ctx);
// Types, connections, siphon weirs, sluice gates, division settings, then
// the system checks, strands, flow lengths, inflows and discharge bounds.
void insys(RunContext& ctx);
// Inflows of the Q elements in m3/s.
void inqzu(RunContext& ctx);
// Completes the GEO data, checks them and normalises the profiles.
void ingeo(RunContext& ctx);
// Distributes the HVE data into the element values and per-type tables,
// with the HVE checks before and after.
void inhve(RunContext& ctx);

}  // namespace rivola::input
