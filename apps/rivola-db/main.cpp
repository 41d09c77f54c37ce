// rivola-db: creates the databases a RIVOLA user starts from.
//
//   rivola-db new-results DIR         empty results database DIR/RIVOLA_8_Ergebnisse.mdb
//   rivola-db new-variant FILE        empty variant with tbl_all and tbl_rvldaten
//   rivola-db load FILE SCRIPT.sql    database built from an SQL script
//   rivola-db convert SOURCE TARGET [--force]
//                                     SQLite copy of a variant (Access or
//                                     SQLite) and of its components
//
// New databases are SQLite files. Exit status 0 on success, 1 on failure,
// 2 for a wrong command line.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "database/db_convert.h"
#include "database/db_tools.h"
#include "database/m_database.h"
#include "support/m_files.h"

namespace {

int usage() {
    std::cerr << "usage: rivola-db new-results DIR\n"
                 "       rivola-db new-variant FILE\n"
                 "       rivola-db load FILE SCRIPT.sql\n"
                 "       rivola-db convert SOURCE.mdb TARGET.mdb [--force]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace rivola;
    if (argc < 3) return usage();
    const std::string cmd = argv[1];
    RunContext ctx;
    // the database diagnostics of this tool go to a file of its own, shown on failure
    const std::string diag = "DB_Fehler.pkl";
    ctx.db.diagFile = diag;
    std::string status = "ok";
    std::string what;
    if (cmd == "new-results" && argc == 3) {
        std::string file;
        input::db_new_results(ctx, argv[2], file, status);
        what = file;
    } else if (cmd == "new-variant" && argc == 3) {
        input::db_new_variant(ctx, argv[2], status);
        what = argv[2];
    } else if (cmd == "load" && argc == 4) {
        input::db_load_script(ctx, argv[2], argv[3], status);
        what = argv[2];
    } else if (cmd == "convert" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "--force"))) {
        std::vector<std::string> written;
        input::db_convert_variant(ctx, argv[2], argv[3], argc == 5, written, status);
        for (size_t k = 0; k < written.size(); ++k) what += (k ? "\n" : "") + written[k];
    } else {
        return usage();
    }
    if (status != "ok") {
        std::cerr << "rivola-db: " << status << "\n";
        if (ctx.db.diagOpened) {
            std::ifstream d(diag);
            std::string line;
            while (std::getline(d, line)) std::cerr << "  " << line << "\n";
        }
        return 1;
    }
    std::cout << what << "\n";
    return 0;
}
