#include "output/result_files.h"

#include <cstdio>

#include "messages/m_rivola_error.h"
#include "output/db_output.h"
#include "messages/m_realwin.h"

namespace rivola::output {

void store_failed(RunContext& ctx, const std::string& what, const std::string& step,
                  const std::string& reason) {
    ctx.run.storeFailures.push_back(what);
    checks::fehler(ctx, "D01", what, step, reason);
    ui::screen_dlgedit(ctx, 91, 0, what, reason.empty() ? step : step + ": " + reason);
}

void remove_earlier(RunContext& ctx, const std::string& path, bool checkList) {
    if (!support::file_exists(path)) return;
    support::remove_file(path);
    if (checkList) checks::fehler(ctx, "D02", path);
    ui::screen_dlgedit(ctx, 92, 0, path);
}

FileOutcome commit_file(support::AtomicFile& f) {
    FileOutcome o;
    o.ok = f.commit();
    o.path = f.path();
    o.step = f.step();
    o.reason = f.reason();
    return o;
}

bool tell_file(RunContext& ctx, const FileOutcome& o) {
    if (o.ok) {
        ctx.run.writtenFiles.push_back(o.path);
        return true;
    }
    const bool en = ctx.english();
    const std::string& s = o.step;
    const std::string step = s == "open"    ? (en ? "create the file" : "Datei anlegen")
                             : s == "write" ? (en ? "write" : "schreiben")
                             : s == "close" ? (en ? "close the file" : "Datei schließen")
                                            : (en ? "rename the finished file" : "fertige Datei umbenennen");
    store_failed(ctx, o.path, step, o.reason);
    remove_earlier(ctx, o.path, true);
    return false;
}

bool finish_file(RunContext& ctx, support::AtomicFile& f) { return tell_file(ctx, commit_file(f)); }

void remove_earlier_results(RunContext& ctx) {
    const std::string& b = ctx.run.basePath;
    if (b.empty()) return;
    for (const char* ext : {".ERG", ".ERK", ".QVE", ".EEF", ".csv", "_profile.svg"})
        remove_earlier(ctx, b + ext);
    remove_earlier_sheets(ctx, 0);
}

void remove_earlier_sheets(RunContext& ctx, size_t from) {
    const std::string& b = ctx.run.basePath;
    if (b.empty()) return;
    if (from == 0) remove_earlier(ctx, b + "_profile.pdf");
    for (size_t k = from + 1;; ++k) {
        char n[48];
        std::snprintf(n, sizeof n, "_profile_%03zu.svg", k);
        if (!support::file_exists(b + n)) break;
        remove_earlier(ctx, b + n);
    }
}

void remove_uncased_results(RunContext& ctx) {
    const std::string& b = ctx.run.basePath;
    if (b.empty()) return;
    for (const char* ext : {".ERG", ".ERK", ".QVE", ".EEF", ".csv", "_plot.csv"}) remove_earlier(ctx, b + ext);
    remove_stored_results(ctx);
}

}  // namespace rivola::output
