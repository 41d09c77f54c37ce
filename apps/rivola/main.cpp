// rivola: one calculation run from the command line, without a window.
//
//   rivola VARIANT.mdb [SIM=N] [OUT=ENGL] [IN_ANSI] [ENGLISH] [--yes] [--no-drawing]
//          [--quiet] [--capacity[=CASE]] [--sheet=A1|A3|A4] [--db-wait=SECONDS] [--threads=N]
//   rivola --help | --version
//
// Dialogs become lines on standard error; questions are answered "no" unless
// --yes is given. Exit status: 0 no message, 1 warnings only, 2 errors,
// 3 cancelled, a result that could not be stored (database or file), or a
// command line that is not understood.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "model/context.h"
#include "run/r_rivola.h"
#include "messages/cli_services.h"
#include "output/profile_sheets.h"

namespace {

constexpr const char* kUsage =
    "usage: rivola VARIANT.mdb [SIM=N] [OUT=ENGL] [IN_ANSI] [ENGLISH] [--yes] [--no-drawing]\n"
    "              [--quiet] [--capacity[=CASE]] [--sheet=A1|A3|A4] [--db-wait=SECONDS]\n"
    "              [--threads=N]\n"
    "       rivola --help | --version\n";

constexpr const char* kHelp =
    "Computes the hydraulic profile of the plant variant VARIANT.mdb and writes its\n"
    "listings (.ERG, .ERK, .QVE, .EEF, .EIN), the check list (.pkl), the CSV file, the\n"
    "plot data and the profile drawing beside it, and its results into the results\n"
    "database RIVOLA_8_Ergebnisse.mdb in the same folder.\n"
    "\n"
    "Parameters of the run (as for the desktop program):\n"
    "  SIM=N              read and check the variant only; no calculation\n"
    "  ENGLISH, OUT=ENGL  listings, screen, messages and check list in English (any\n"
    "                     parameter containing \"english\" counts)\n"
    "  IN_ANSI            accepted as earlier versions took it; the texts of the\n"
    "                     variant are read as the database holds them\n"
    "  (a parameter may also be written with a leading \"/\" or \"-\": /SIM=N)\n"
    "Options:\n"
    "  --yes              answer the questions of the run with yes (default: no)\n"
    "  --no-drawing       no profile drawing\n"
    "  --capacity[=CASE]  the plant's capacity: the largest factor on all inflows (of\n"
    "                     the flow case CASE, with its level and splits) at\n"
    "                     which the freeboard Freibord of tbl_all (0: no overtopping)\n"
    "                     holds everywhere, the limiting element and the next three;\n"
    "                     the run at the capacity is written as case \"Kapazitaet\"\n"
    "  --sheet=A1|A3|A4   sheet size of the drawing for the report (PDF and one SVG\n"
    "                     per sheet; default A3, landscape)\n"
    "  --quiet            no screen line for every element; the passes are still shown\n"
    "  --db-wait=SECONDS  wait so long for a results database another program holds\n"
    "                     locked (0 to 86400, default 60)\n"
    "  --threads=N        threads for the lanes of the walk, the flow cases and the\n"
    "                     capacity trials (1 to 256, default one per core); the\n"
    "                     results do not depend on it\n"
    "  --help             this text\n"
    "  --version          the program's version\n"
    "\n"
    "Exit status: 0 no message, 1 warnings, 2 errors, 3 cancelled, a result not\n"
    "stored (database or file), or a command line not understood.\n";

// A parameter of the run (SIM=, OUT=ENGL, IN_ANSI, ...english...), which the
// run also takes behind leading dashes.
bool run_parameter(std::string a) {
    while (!a.empty() && a[0] == '-') a.erase(0, 1);
    for (char& c : a) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return a.rfind("SIM=", 0) == 0 || a.rfind("OUT=", 0) == 0 || a.find("IN_ANSI") != std::string::npos ||
           a.find("ENGLISH") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> params;
    bool yes = false, drawing = true, quiet = false, capacity = false;
    std::string capacityCase;
    int dbWait = 60, threads = 0;
    std::string sheet = "A3";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--yes") yes = true;
        else if (a == "--no-drawing") drawing = false;
        else if (a == "--quiet") quiet = true;
        else if (a == "--capacity") capacity = true;
        else if (a.rfind("--capacity=", 0) == 0) capacity = true, capacityCase = a.substr(11);
        else if (a.rfind("--sheet=", 0) == 0) {
            rivola::output::SheetFormat f;
            if (!rivola::output::sheet_format(a.substr(8), f)) {
                std::cerr << "rivola: --sheet takes A1, A3 or A4, not \"" << a.substr(8) << "\"\n";
                return 3;
            }
            sheet = f.name;
        }
        else if (a.rfind("--db-wait=", 0) == 0) {
            // seconds to wait for a results database that another program holds locked
            const std::string v = a.substr(10);
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || n < 0 || n > 86400) {
                std::cerr << "rivola: --db-wait needs a number of seconds from 0 to 86400, not \"" << v
                          << "\"\n";
                return 3;
            }
            dbWait = static_cast<int>(n);
        }
        else if (a.rfind("--threads=", 0) == 0) {
            const std::string v = a.substr(10);
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || n < 1 || n > 256) {
                std::cerr << "rivola: --threads needs a number of threads from 1 to 256, not \"" << v << "\"\n";
                return 3;
            }
            threads = static_cast<int>(n);
        }
        else if (a == "--help" || a == "-h") {
            std::cout << kUsage << "\n" << kHelp;
            return 0;
        } else if (a == "--version") {
            std::cout << "rivola " << RIVOLA_VERSION << "\n";
            return 0;
        } else if (a.rfind("--", 0) == 0 && !run_parameter(a)) {
            // no variant is named so: an option this program does not know
            std::cerr << "rivola: unknown option \"" << a << "\"\n" << kUsage;
            return 3;
        } else params.push_back(a);
    }
    if (params.empty()) {
        std::cerr << "rivola: no variant database given (rivola --help)\n";
        return 3;
    }
    rivola::ui::CliServices ui(yes);
    rivola::RunContext ctx;
    ctx.ui = &ui;
    ctx.run.params = params;
    ctx.run.drawing = drawing;
    ctx.run.quiet = quiet;
    ctx.run.sheet = sheet;
    ctx.run.capacity = capacity;
    ctx.run.capacityCase = capacityCase;
    ctx.run.dbWait = dbWait;
    ctx.run.threads = threads;
    rivola::run::r_rivola(ctx, 1);
    return std::clamp(ctx.run.ierr, 0, 3);
}
