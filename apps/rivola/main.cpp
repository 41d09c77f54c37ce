// rivola: one calculation run from the command line, without a window.
//
//   rivola VARIANT.mdb [SIM=N] [OUT=ENGL] [IN_ANSI] [ENGLISH] [--yes] [--no-drawing]
//          [--db-wait=SECONDS]
//
// Dialogs become lines on standard error; questions are answered "no" unless
// --yes is given. Exit status: 0 no message, 1 warnings only, 2 errors,
// 3 cancelled, or a result that could not be stored (database or file).
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "model/context.h"
#include "run/r_rivola.h"
#include "messages/cli_services.h"

int main(int argc, char** argv) {
    std::vector<std::string> params;
    bool yes = false, drawing = true;
    int dbWait = 60;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--yes") yes = true;
        else if (a == "--no-drawing") drawing = false;
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
        else if (a == "--help" || a == "-h") {
            std::cout << "usage: rivola VARIANT.mdb [SIM=N] [OUT=ENGL] [IN_ANSI] [ENGLISH] "
                         "[--yes] [--no-drawing] [--db-wait=SECONDS]\n"
                         "exit status: 0 no message, 1 warnings, 2 errors, 3 cancelled or "
                         "a result not stored (database or file)\n";
            return 0;
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
    ctx.run.dbWait = dbWait;
    rivola::run::r_rivola(ctx, 1);
    return std::clamp(ctx.run.ierr, 0, 3);
}
