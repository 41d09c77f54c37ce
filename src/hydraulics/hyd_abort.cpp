#include "hydraulics/hyd_abort.h"

#include "model/context.h"
#include "support/m_strings.h"
#include "messages/m_realwin.h"

namespace rivola::hyd {

void abort_run(RunContext& ctx, int nr, std::string_view name) {
    ui::screen_dlgedit(ctx, nr, 0, support::trim(name));
    if (ctx.run.ierr < 2) ctx.run.ierr = 2;
}

}  // namespace rivola::hyd
