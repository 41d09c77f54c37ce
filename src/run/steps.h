// The steps of a calculation run that the run driver calls, by subsystem.
#pragma once

namespace rivola {
struct RunContext;
namespace input {
void input(RunContext& ctx);          // read, set up and check the variant
}
namespace checks {
void del_pru(RunContext& ctx);        // delete the scratch files of the check step
}
namespace hyd {
void wsp_rivola(RunContext& ctx);     // the water-level walk against the flow
void check_freeboard(RunContext& ctx); // overtopping and freeboard in the check list
}
namespace output {
void o_plot(RunContext& ctx);         // plot data
void outerg(RunContext& ctx);         // result listing *.ERG
void outqve(RunContext& ctx);         // discharge-distribution listing *.QVE
void outerk(RunContext& ctx);         // *.ERK listing
void outeef(RunContext& ctx);         // *.EEF listing
void close_listings(RunContext& ctx); // close the result files a run opened
}
}  // namespace rivola
