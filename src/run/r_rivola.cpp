// The calculation run: reset, choice of the variant, reading and checking,
// the water-level walk, the listings and the final message.
#include "run/r_rivola.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "messages/m_rivola_error.h"
#include "checks/pruefung.h"
#include "hydraulics/abfluss.h"
#include "hydraulics/freeboard.h"
#include "hydraulics/hyawsp.h"
#include "hydraulics/m_rivola_vena_contracta.h"
#include "database/m_database.h"
#include "output/db_output.h"
#include "output/m_output_eingabe.h"
#include "output/output.h"
#include "output/outwsp_screen.h"
#include "output/profile_drawing.h"
#include "output/result_files.h"
#include "database/flow_case_input.h"
#include "input/input.h"
#include "run/capacity.h"
#include "run/flow_cases.h"
#include "support/m_files.h"
#include "support/m_strings.h"
#include "messages/m_language.h"
#include "messages/m_realwin.h"
#include "messages/services.h"

namespace rivola::run {

using support::contains;
using support::upper;

namespace {

void box(RunContext& ctx, const std::string& title, const std::string& text) {
    if (ctx.ui) ctx.ui->message(title, text);
}

// Splits the variant path into directory (with its last '/'), name and
// extension (with its point) and derives the names of the run's files.
bool split_path(RunContext& ctx, const std::string& path) {
    RunState& r = ctx.run;
    if (path.empty()) return false;
    const size_t slash = path.find_last_of('/');
    r.dbDir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string file = path.substr(r.dbDir.size());
    if (file.empty()) return false;
    const size_t dot = file.find_last_of('.');
    r.dbName = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
    r.dbExt = file.substr(r.dbName.size());
    r.dbPath = path;
    r.basePath = r.dbDir + r.dbName;
    r.checkListFile = r.basePath + ".pkl";
    return true;
}

// The first number written in a line: digits with an optional leading minus
// and one decimal point (a comma counts as one), optionally an exponent.
bool first_number(const std::string& line, double& value) {
    for (size_t i = 0; i < line.size(); ++i) {
        auto digit = [&](size_t k) { return k < line.size() && line[k] >= '0' && line[k] <= '9'; };
        const bool sep = line[i] == '.' || line[i] == ',';
        if (!(digit(i) || (line[i] == '-' && (digit(i + 1) || ((line[i + 1] == '.' || line[i + 1] == ',') && digit(i + 2)))) ||
              (sep && digit(i + 1))))
            continue;
        std::string num;
        size_t k = i;
        if (line[k] == '-') num += line[k++];
        bool point = false;
        for (; k < line.size(); ++k) {
            const char c = line[k];
            if (c >= '0' && c <= '9') num += c;
            else if ((c == '.' || c == ',') && !point) { point = true; num += '.'; }
            else break;
        }
        if (k + 1 < line.size() && (line[k] == 'E' || line[k] == 'e')) {
            size_t m = k + 1;
            std::string ex = "e";
            if (line[m] == '-' || line[m] == '+') ex += line[m++];
            if (digit(m)) {
                while (digit(m)) ex += line[m++];
                num += ex;
            }
        }
        value = std::strtod(num.c_str(), nullptr);
        return std::isfinite(value);
    }
    return false;
}

// The flow cases of the variant, checked against the elements it has read;
// a fault in them stops the run with errors before any case is computed.
void read_cases(RunContext& ctx, std::vector<input::FlowCase>& cases) {
    std::string status;
    input::read_flow_cases(ctx, ctx.run.dbPath, cases, status);
    if (status != "ok") {
        box(ctx, ctx.english() ? "database error" : "Datenbankfehler", status);
        ctx.run.ierr = std::max(ctx.run.ierr, 3);
        cases.clear();
        return;
    }
    if (!input::check_flow_cases(ctx, cases)) ctx.run.ierr = std::max(ctx.run.ierr, 2);
    if (ctx.run.ierr >= 2) cases.clear();
}

}  // namespace

void initl_rivola(RunContext& ctx) {
    ctx.plant = Plant{};
    ctx.flowCases.clear();
    Plant& p = ctx.plant;
    for (auto& t : p.all.titel) t.clear();
    p.all.AnhangERG = p.all.AnhangERK = p.all.AnhangQVE = "Anhang x";
    ctx.cs = hyd::Qercmn{};
    RunState& r = ctx.run;
    const int calls = r.callCount, rt = r.runtimeError;
    std::vector<std::string> params = std::move(r.params);
    const bool drawing = r.drawing, keepDrawing = r.keepDrawing, quiet = r.quiet;
    const int dbWait = r.dbWait;
    const std::string sheet = r.sheet;
    const int threads = r.threads;
    const bool capacity = r.capacity;
    const std::string capacityCase = r.capacityCase;
    r = RunState{};
    r.sheet = sheet;
    r.threads = threads;
    r.capacity = capacity;
    r.capacityCase = capacityCase;
    r.quiet = quiet;
    r.keepDrawing = keepDrawing;
    r.dbWait = dbWait;
    r.callCount = calls;
    r.runtimeError = rt;
    r.params = std::move(params);
    r.drawing = drawing;
    r.compute = 'J';
    r.ierr = 0;
}

void cl_par(RunContext& ctx, const std::vector<std::string>& args) {
    RunState& r = ctx.run;
    if (args.empty()) return;
    if (!split_path(ctx, args[0])) {
        r.ierr = 2;
        return;
    }
    for (size_t i = 1; i < args.size() && i < 10; ++i) {
        std::string a = upper(args[i]);
        while (!a.empty() && (a[0] == '/' || a[0] == '-')) a.erase(0, 1);
        if (support::starts_with(a, "SIM=")) {
            if (a.size() >= 5) r.compute = a[4];
        } else if (support::starts_with(a, "OUT=") && contains(a, "ENGL")) {
            ctx.settings.language = "ENGLISH";
        } else if (contains(a, "IN_ANSI")) {
            r.ansiInput = 1;
        } else if (contains(a, "ENGLISH")) {
            ctx.settings.language = "ENGLISH";
        }
    }
}

void read_iteration_settings(RunContext& ctx, const std::string& path) {
    RunState& r = ctx.run;
    r.maxPasses = 100;
    r.tolerance = 0.00005f;
    r.iterLog = 0;
    std::ifstream f(path);
    if (!f) return;
    r.iniRead = 1;
    for (std::string raw; std::getline(f, raw);) {
        const std::string line = upper(support::ucut(support::rtrim(raw), 80));
        double v = 0;
        if (contains(line, "MAX") && contains(line, "ITERAT")) {
            if (first_number(line, v)) {
                const long n = std::lround(std::fmin(v, 1.0e9));
                r.maxPasses = n < 101 ? 100 : static_cast<int>(n);
            }
        } else if (contains(line, "HEEPS")) {
            if (first_number(line, v)) r.tolerance = std::fmax(static_cast<float>(v), 0.00005f);
        } else if (contains(line, "PROTOK")) {
            if (line.size() > 8 && line.find('J', 8) != std::string::npos) r.iterLog = 1;
        }
    }
}

bool write_iteration_settings(const std::string& path, int maxPasses, float tolerance, bool iterLog,
                              std::string& reason) {
    char tol[32];
    std::snprintf(tol, sizeof tol, "%.6g", static_cast<double>(tolerance));
    support::AtomicFile f(path);
    if (f.is_open())
        f.out() << "MAX ITERATIONEN = " << maxPasses << "\nHEEPS = " << tol << "\nPROTOKOLL = " << (iterLog ? "J" : "N")
                << "\n";
    if (f.is_open() && f.commit()) return true;
    reason = path + ": " + f.reason();
    return false;
}

void init_variante(RunContext& ctx) {
    RunState& r = ctx.run;
    ++r.callCount;
    r.dbPath.clear();
    r.runDate = support::today();
    ctx.plant.all.datum = r.runDate;

    if (r.callCount == 1) {
        cl_par(ctx, r.params);
        if (r.ierr >= 2) return;
    } else {
        r.params.clear();
    }
    const bool english = ctx.english();
    // the database layer speaks the language of the run
    input::db_init_language(ctx, english ? "US" : "DE");

    if (r.params.empty()) {
        std::string chosen;
        if (ctx.ui)
            chosen = ctx.ui->openFile(ui::translate_txt(ctx, ui::kFileDialogTitle),
                                      "MDB-Dateien*.mdb;*.mdb");
        if (chosen.empty() || !split_path(ctx, chosen)) {
            r.ierr = 3;
            return;
        }
    }
    ui::screen_dlgedit(ctx, 10, 0, r.dbName + r.dbExt);

    // A variant that is not there cannot be read: say so at once.
    if (!support::file_exists(r.dbPath)) {
        box(ctx, english ? "database error" : "Datenbankfehler",
            english ? "variant database \"" + r.dbPath + "\" does not exist."
                    : "Die Variantendatenbank \"" + r.dbPath + "\" existiert nicht.");
        r.ierr = 3;
        return;
    }

    r.resultsDb = support::find_file_nocase(r.dbDir, "RIVOLA_8_Ergebnisse.mdb");
    if (!support::file_exists(r.resultsDb)) {
        box(ctx, english ? "database error" : "Datenbankfehler",
            english ? "result database\n\"RIVOLA_8_Ergebnisse.mdb\"\ndoes not exist."
                    : "Die Ergebnisdatenbank\n\"RIVOLA_8_Ergebnisse.mdb\"\nexistiert nicht.");
        r.ierr = 3;
        return;
    }

    r.ierr = checks::fehler(ctx, "INIT", r.basePath,
                            contains(ctx.settings.language, "ENGL") ? "check-list" : "Prüfprotokoll");
    // The variant's name becomes the name of its result tables: refused before
    // anything is computed when it cannot name them safely.
    if (!output::check_table_names(ctx)) return;
    read_iteration_settings(ctx, support::find_file_nocase("", "RVL_iteration.ini"));
}

std::string final_message(const RunContext& ctx) {
    const std::string& f = ctx.run.checkListFile;
    const bool en = ctx.settings.language == "ENGLISH";
    const int l = ctx.run.ierr;
    if (l <= 0) return (en ? "end of calculation\n" : "Berechnungsende\n") + f;
    if (l == 1) return (en ? "warnings see: " : "Warnungen siehe: ") + f;
    if (l == 2) return (en ? "abort see: " : "Berechnungsabbruch siehe: ") + f;
    std::string m = (en ? "abort\n" : "Berechnungsabbruch\n") + f;
    if (!ctx.run.storeFailures.empty())
        m += en ? "\nThe results were not (all) stored." : "\nDie Ergebnisse wurden nicht (alle) gespeichert.";
    return m;
}

// The set-up of the variant read into the plant model, station by station:
// links and types, discharge bounds and first estimate, sluice-gate table,
// input echo, geometry, single losses with the checks; each only while the
// error level is below 2.
void set_up(RunContext& ctx) {
    const auto going = [&] { return ctx.run.ierr < 2; };
    input::setup_links(ctx);
    if (going() && !hyd::qmnmx(ctx)) {
        // the bounds cannot be met: the discharges found so far into the check list
        output::outqqq(ctx);
        ui::rw_msgbox(ctx,
                      ui::compose_screen_message(ctx.settings.language, ctx.settings.programName,
                                                 ctx.settings.version, 50),
                      ctx.settings.programName);
    }
    if (going()) hyd::qanf(ctx);
    if (going() && ctx.plant.schuetzPresent) hyd::vena_contracta_define(ctx);
    if (going()) output::write_input_echo(ctx);
    input::setup_geometry(ctx);
    input::setup_losses(ctx);
    if (going()) ui::screen_dlgedit(ctx, 22);
}

// One calculation of the variant read into the plant model: set-up, plot
// data, downstream boundary, walk, freeboard, listings, results, drawing.
void compute_variant(RunContext& ctx) {
    RunState& r = ctx.run;
    set_up(ctx);
    if (r.ierr < 2) output::o_plot(ctx);
    if (r.compute != 'J' || r.ierr >= 2) return;
    ctx.walk = r.quiet ? &output::walk_pass_log() : &output::walk_screen_log();
    hyd::start(ctx);
    if (r.ierr < 2) hyd::wsp_rivola(ctx);
    if (r.ierr < 2) hyd::check_freeboard(ctx);
    if (r.ierr >= 2) return;
    output::outerg(ctx);
    output::outqve(ctx);
    output::outerk(ctx);
    if (r.ierr >= 2) return;
    output::outeef(ctx);
    output::draw_profile(ctx);
    if (ctx.ui)
        for (const auto& f : r.writtenFiles) ctx.ui->log(f);
    if (r.balance) ui::screen_dlgedit(ctx, 2);
}

void r_rivola(RunContext& ctx, int kind) {
    if (kind != 1) {
        output::close_listings(ctx);
        return;
    }
    RunState& r = ctx.run;
    r.ierr = 0;
    initl_rivola(ctx);
    if (r.ierr < 2) init_variante(ctx);
    // The variant is read once; a variant with flow cases is computed once per
    // case, each case in a run context of its own.
    std::vector<input::FlowCase> cases;
    if (r.ierr < 2) {
        input::read_variant(ctx);
        if (r.ierr < 2) read_cases(ctx, cases);
    }
    if (r.ierr < 2 && r.capacity) {
        // the search scales a named flow case's inflows (with its level and splits) or the variant's own
        if (!r.capacityCase.empty()) {
            const auto c = std::find_if(cases.begin(), cases.end(), [&](const input::FlowCase& fc) {
                return support::upper(fc.name) == support::upper(r.capacityCase);
            });
            if (c == cases.end()) {
                box(ctx, ctx.english() ? "capacity" : "Kapazität",
                    (ctx.english() ? "The variant has no flow case " : "Die Variante hat keinen Lastfall ") +
                        r.capacityCase + ".");
                r.ierr = std::max(r.ierr, 2);
            } else {
                input::apply_flow_case(ctx.plant, *c);
            }
        }
        if (r.ierr < 2) run_capacity(ctx);
    }
    if (r.ierr < 2 && !r.capacity && cases.empty()) compute_variant(ctx);
    if (r.ierr < 2 && !r.capacity && !cases.empty()) run_flow_cases(ctx, cases);
    if (r.ierr < 2 && r.compute == 'J') checks::del_pru(ctx);
    // A run with errors, or one that only checks, has no results: listings,
    // CSV and drawing of an earlier run must not pass for this run's.
    if (!r.basePath.empty() && r.ierr < 3 && (r.ierr == 2 || r.compute != 'J') && cases.empty() && !r.capacity)
        output::remove_earlier_results(ctx);
    // Any result that could not be stored ends the run as a file or database failure.
    if (!r.storeFailures.empty()) r.ierr = std::max(r.ierr, 3);
    ctx.rep.close();
    if (r.runtimeError) box(ctx, "Hinweis", "Runtime-Fehler siehe: runtime_error.pkl");
    ui::rw_dlgfinale(ctx, final_message(ctx));
    output::close_listings(ctx);
}

}  // namespace rivola::run
