// Result files of a run: each is written completely or not at all, and every
// result that could not be stored is told in the check list (code D01, with
// the file or table, the step and the system's or driver's own reason), on
// the screen log, and by the run's final error level 3.
#pragma once

#include <string>

#include "model/context.h"
#include "support/m_files.h"

namespace rivola::output {

// Records a result of this run that could not be stored.
void store_failed(RunContext& ctx, const std::string& what, const std::string& step,
                  const std::string& reason);

// Completes a result file: on success it counts as written by this run; on
// failure the old file of that name (an earlier run's) is removed as well, so
// that it cannot pass for this run's, and the failure is recorded.
bool finish_file(RunContext& ctx, support::AtomicFile& f);

// The same in two halves, for files written on a worker thread: the file is
// committed where it was written, and its outcome is told to the run later,
// in the order of the files, by the run's own thread.
struct FileOutcome {
    std::string path, step, reason;
    bool ok = false;
};
FileOutcome commit_file(support::AtomicFile& f);
bool tell_file(RunContext& ctx, const FileOutcome& outcome);

// Removes a result file of an earlier run that this run does not write; says
// so on the screen log (and, with `checkList`, in the check list).
void remove_earlier(RunContext& ctx, const std::string& path, bool checkList = false);

// The result listings, CSV file and profile drawing of the variant: what a run
// that ends with errors, or only checks the input, leaves no older copy of.
void remove_earlier_results(RunContext& ctx);
// Removes the sheets of an earlier drawing from sheet `from` + 1 on
// (base + "_profile_NNN.svg"), and with from = 0 its PDF too.
void remove_earlier_sheets(RunContext& ctx, size_t from);

// A variant computed in flow cases has no results under its own name: the
// listings, CSV and plot data of an earlier run without cases are removed,
// and so are its tables and overview row in the results database.
void remove_uncased_results(RunContext& ctx);

}  // namespace rivola::output
