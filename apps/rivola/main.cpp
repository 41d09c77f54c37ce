// rivola: one calculation run from the command line, without a window.
//
//   rivola VARIANT.mdb [SIM=N] [OUT=ENGL] [IN_ANSI] [ENGLISH] [--yes] [--no-drawing]
//
// Dialogs become lines on standard error; questions are answered "no" unless
// --yes is given. Exit status: 0 no message, 1 warnings only, 2 errors,
// 3 cancelled or database failure.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "run/context.h"
#include "run/r_rivola.h"
#include "ui/cli_services.h"

int main(int argc, char** argv) {
    std::vector<std::string> params;
    bool yes = false, drawing = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--yes") yes = true;
        else if (a == "--no-drawing") drawing = false;
        else if (a == "--help" || a == "-h") {
            std::cout << "usage: rivola VARIANT.mdb [SIM=N] [OUT=ENGL] [IN_ANSI] [ENGLISH] "
                         "[--yes] [--no-drawing]\n"
                         "exit status: 0 no message, 1 warnings, 2 errors, 3 cancelled or "
                         "database failure\n";
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
    rivola::run::r_rivola(ctx, 1);
    return std::clamp(ctx.run.ierr, 0, 3);
}
