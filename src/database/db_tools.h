// Building database files: the empty results database, an empty variant, and
// a database built from an SQL script (the example plants). New files are
// SQLite databases, the embedded default format; all work goes over ODBC.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::input {

// File name of the results database shared by the variants of a directory.
inline constexpr const char* kResultsDbName = "RIVOLA_8_Ergebnisse.mdb";

// Column definitions of the two tables of a variant and of the overview
// table of the results database.
extern const char* const kTblAllColumns;
extern const char* const kTblRvldatenColumns;
extern const char* const kBerechnungsuebersichtColumns;

// Creates DIR/RIVOLA_8_Ergebnisse.mdb with the table Berechnungsuebersicht.
// An existing results database (name compared without regard to case) is
// kept; only a missing overview table is added to it. `file` receives its path.
void db_new_results(RunContext& ctx, const std::string& dir, std::string& file,
                    std::string& status);

// Creates an empty variant database with tbl_all and tbl_rvldaten; refuses to
// touch an existing file.
void db_new_variant(RunContext& ctx, const std::string& file, std::string& status);

// A new variant to start from: an inlet Q1 of 100 l/s, a flume G1 of 20 m
// and the outlet flume G2 of 10 m, rectangular 0.8 m wide and 1.0 m high,
// the outlet held at 100.20 m (0.26 m above its invert).
void db_new_variant_template(RunContext& ctx, const std::string& file, std::string& status);

// Builds the database `file` from the statements of an SQL script, all in one
// transaction. The database is built next to `file` and only replaces it when
// every statement succeeded; a failure leaves an existing file as it was.
void db_load_script(RunContext& ctx, const std::string& file, const std::string& script,
                    std::string& status);

// Splits an SQL script into its statements: separated by ';', comments from
// "--" to the end of the line and between "/*" and "*/"; quoted texts ('...'
// with '' for a quote), quoted names ("..." and [...]) are kept whole.
std::vector<std::string> split_sql_script(const std::string& text);

}  // namespace rivola::input
