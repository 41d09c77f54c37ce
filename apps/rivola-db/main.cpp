// rivola-db: creates the databases a RIVOLA user starts from.
//
//   rivola-db new-results DIR         empty results database DIR/RIVOLA_8_Ergebnisse.mdb
//   rivola-db new-variant FILE [--template]
//                                     empty variant with tbl_all and tbl_rvldaten
//                                     (--template: inlet, flume and outlet)
//   rivola-db load FILE SCRIPT.sql    database built from an SQL script
//   rivola-db convert SOURCE TARGET [--force]
//                                     SQLite copy of a variant (Access or
//                                     SQLite) and of its components
//   rivola-db export VARIANT DIR [--decimal-comma] [--force]
//                                     the tables of a variant as CSV files
//   rivola-db import DIR VARIANT [--force]
//                                     a variant from such CSV files, every
//                                     cell checked; nothing written on a fault
//   rivola-db columns [LETTER] [--english]
//                                     the column reference (of one element type)
//   rivola-db help-pages DIR          the help pages of the element types
//
// New databases are SQLite files. Exit status 0 on success, 1 on failure,
// 2 for a wrong command line.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "database/column_reference.h"
#include "database/db_convert.h"
#include "database/db_csv.h"
#include "database/db_tools.h"
#include "database/m_database.h"
#include "support/m_files.h"

namespace {

int usage() {
    std::cerr << "usage: rivola-db new-results DIR\n"
                 "       rivola-db new-variant FILE [--template]\n"
                 "       rivola-db load FILE SCRIPT.sql\n"
                 "       rivola-db convert SOURCE.mdb TARGET.mdb [--force]\n"
                 "       rivola-db export VARIANT.mdb DIR [--decimal-comma] [--force] [--english]\n"
                 "       rivola-db import DIR VARIANT.mdb [--force] [--english]\n"
                 "       rivola-db columns [LETTER] [--english]\n"
                 "       rivola-db help-pages DIR\n";
    return 2;
}

// The options after the fixed arguments; false for one not in `allowed`.
bool take_options(int argc, char** argv, int first, const std::vector<std::string>& allowed,
                  std::vector<std::string>& given) {
    for (int k = first; k < argc; ++k) {
        if (std::find(allowed.begin(), allowed.end(), argv[k]) == allowed.end()) return false;
        given.push_back(argv[k]);
    }
    return true;
}
bool has(const std::vector<std::string>& v, const char* o) { return std::find(v.begin(), v.end(), o) != v.end(); }

const char* kind_name(rivola::input::ColumnKind k, bool en) {
    using rivola::input::ColumnKind;
    switch (k) {
        case ColumnKind::Integer: return en ? "whole number" : "ganze Zahl";
        case ColumnKind::Real: return en ? "number" : "Zahl";
        case ColumnKind::Date: return en ? "date" : "Datum";
        case ColumnKind::Text: return "Text";
    }
    return "";
}

// The column reference as text: every column, or those an element type reads.
int print_columns(const std::string& letter, bool en) {
    using namespace rivola::input;
    if (!letter.empty() && (letter.size() != 1 || !element_type(letter[0]))) {
        std::cerr << "rivola-db: " << (en ? "unknown element type " : "unbekannter Elementtyp ") << letter << "\n";
        return 2;
    }
    std::string table;
    for (const ColumnRef& c : column_reference()) {
        if (!letter.empty() && (c.table != "tbl_rvldaten" || !column_used_by(c, letter[0]))) continue;
        if (c.table != table) std::cout << (table.empty() ? "" : "\n") << c.table << "\n";
        table = c.table;
        std::string line = "  " + c.name;
        line.resize(std::max<size_t>(line.size() + 1, 18), ' ');
        line += std::string(kind_name(c.kind, en)) + (c.width ? "(" + std::to_string(c.width) + ")" : "");
        if (!c.unit.empty()) line += ", " + c.unit;
        line += "  " + (en ? c.en : c.de);
        if (!letter.empty() && column_required_for(c, letter[0])) line += en ? " [required]" : " [erforderlich]";
        else if (letter.empty() && c.types != "*" && !c.types.empty()) line += " [" + c.types + "]";
        std::cout << line << "\n";
    }
    return 0;
}

// The help pages of the element types and their index, German and English.
int write_help_pages(const std::string& dir) {
    using namespace rivola::input;
    for (bool en : {false, true}) {
        std::vector<std::pair<std::string, std::string>> pages;
        pages.emplace_back(en ? "RIVOLAW_typen_en.html" : "RIVOLAW_typen.html", column_help_index(en));
        for (const ElementType& t : element_types())
            pages.emplace_back(element_help_file(t.letter, en), element_help_page(t.letter, en));
        for (const auto& [name, text] : pages) {
            rivola::support::AtomicFile f(dir + "/" + name);
            if (f.is_open()) f.out() << text;
            if (!f.is_open() || !f.commit()) {
                std::cerr << "rivola-db: " << f.path() << ": " << f.reason() << "\n";
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace rivola;
    if (argc < 2) return usage();
    const std::string cmd = argv[1];
    if (cmd == "columns") {
        std::vector<std::string> args;
        std::string letter;
        bool en = false;
        for (int k = 2; k < argc; ++k) {
            if (std::string(argv[k]) == "--english") en = true;
            else if (letter.empty() && argv[k][0] != '-') letter = argv[k];
            else return usage();
        }
        return print_columns(letter, en);
    }
    if (cmd == "help-pages" && argc == 3) return write_help_pages(argv[2]);
    if (argc < 3) return usage();
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
    } else if (cmd == "new-variant" && (argc == 3 || (argc == 4 && std::string(argv[3]) == "--template"))) {
        if (argc == 4) input::db_new_variant_template(ctx, argv[2], status);
        else input::db_new_variant(ctx, argv[2], status);
        what = argv[2];
    } else if (cmd == "load" && argc == 4) {
        input::db_load_script(ctx, argv[2], argv[3], status);
        what = argv[2];
    } else if (cmd == "convert" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "--force"))) {
        std::vector<std::string> written;
        input::db_convert_variant(ctx, argv[2], argv[3], argc == 5, written, status);
        for (size_t k = 0; k < written.size(); ++k) what += (k ? "\n" : "") + written[k];
    } else if (cmd == "export" && argc >= 4) {
        std::vector<std::string> opts, notes, written;
        if (!take_options(argc, argv, 4, {"--decimal-comma", "--force", "--english"}, opts)) return usage();
        if (has(opts, "--english")) ctx.db.lang = "US", ctx.settings.language = "ENGLISH";
        input::csv_export(ctx, argv[2], argv[3], has(opts, "--decimal-comma"), has(opts, "--force"), written,
                          notes, status);
        for (const std::string& n : notes) std::cerr << "rivola-db: " << n << "\n";
        for (size_t k = 0; k < written.size(); ++k) what += (k ? "\n" : "") + written[k];
    } else if (cmd == "import" && argc >= 4) {
        std::vector<std::string> opts, written;
        std::vector<input::CellError> errors;
        if (!take_options(argc, argv, 4, {"--force", "--english"}, opts)) return usage();
        if (has(opts, "--english")) ctx.db.lang = "US", ctx.settings.language = "ENGLISH";
        input::csv_import(ctx, argv[2], argv[3], has(opts, "--force"), written, errors, status);
        for (const input::CellError& e : errors) {
            std::cerr << e.file;
            if (e.row > 0) std::cerr << (ctx.english() ? ", row " : ", Zeile ") << e.row;
            if (!e.column.empty()) std::cerr << ", " << e.column;
            if (!e.value.empty()) std::cerr << " = \"" << e.value << "\"";
            std::cerr << ": " << e.reason << "\n";
        }
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
