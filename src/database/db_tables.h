// The tables of a database file as rows of texts: read over ODBC from any
// variant (Access or SQLite) and written into a new SQLite file. The
// conversion of variants and the spreadsheet export and import are built on it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/context.h"

namespace rivola::input {

// How a column's values are carried over: whole numbers, floating numbers,
// dates and texts keep their kind in the new file.
enum class Kind { Integer, Real, Date, Text };

struct Column {
    std::string name;
    Kind kind = Kind::Text;
    long size = 0;  // characters of a text column; 0 = not told by the driver (text)
    std::string ddl;  // column definition of a new table; empty: from kind and size
};

struct Table {
    std::string name;
    std::vector<Column> cols;
    std::vector<std::vector<std::optional<std::string>>> rows;
};

struct Database {
    std::string source, target;
    std::string component;  // "C_NAME" of a component, empty for the variant itself
    bool readOnly = false;  // read through a driver that cannot write it (Access files)
    std::vector<Table> tables;
};

// Reads every table of the database file db.source: its columns with their
// kinds, its rows in the order the driver gives them, NULL as no value, a
// floating number with the 17 digits that give back the same double, a date
// as YYYY-MM-DD (with the time when not midnight).
bool read_database(RunContext& ctx, Database& db, std::string& status);

// Writes the tables of `db` into the new SQLite file `file` (an existing one
// is replaced), all in one transaction.
bool write_database(RunContext& ctx, const Database& db, const std::string& file, std::string& status);

// Reads the variant `source` (db.source of dbs[0]) and the components of its
// live C_ rows (dbs[1..], each with its C_ name) completely; false, with the
// reason in `status`, when a file cannot be read, is no variant or a
// component is missing.
bool read_variant_databases(RunContext& ctx, const std::string& source, std::vector<Database>& dbs,
                            std::string& status);

// Writes a variant and its components, each database into the new SQLite
// file db.target: each file is built beside its target and takes its name
// only when all are built. An existing target is refused unless `force`; a
// target that is one of the source files (db.source) never is overwritten.
// `written` receives the files made.
void write_variant_files(RunContext& ctx, const std::vector<Database>& dbs, bool force,
                         std::vector<std::string>& written, std::string& status);

// Writes `db` into `file` as write_database does, beside it first: the file
// takes the new tables only when all are written, else stays as it was.
bool save_database(RunContext& ctx, const Database& db, const std::string& file, std::string& status);

// True when both paths name the same existing file.
bool same_file(const std::string& a, const std::string& b);

const Table* find_table(const Database& db, const std::string& name);
int find_column(const Table& t, const std::string& name);

// The names of the components of a variant: its live rows (deletion mark 0
// or none) whose name begins with "C_".
std::vector<std::string> components(const Database& variant);

}  // namespace rivola::input
