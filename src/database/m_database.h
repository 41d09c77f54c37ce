// m_database: the program's one door to database files, over ODBC.
//
// Every operation is self-contained: it opens the database, does its work and
// closes it again; no connection is held between operations. Each operation
// sets its status text to "ok" first and replaces it by "Fehler(" + operation +
// "): " + failing call when something fails; the ODBC diagnostics of the
// failure go to the diagnostics file "DB_Fehler.pkl". The variant reader and
// the result writers open a database with db_open, run their own statements on
// the connection handle (db_connection) and close it with db_close.
//
// The ODBC connection string follows from what the file is: an SQLite file
// (the embedded default), an Access/Jet file (Access driver when registered,
// else the read-only MDBTools driver), dBASE/Excel names, or a data source
// name "DSN=...". A file that does not exist is reported without any ODBC call.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

#include "model/db_state.h"
#include "model/context.h"

namespace rivola::input {

// A whole table read as texts (db_read_table); rows and columns from 1.
struct DbTable {
    int nrow = 0, ncol = 0;
    std::vector<std::string> colName;        // 1..ncol
    std::vector<int> colType;                // 1..ncol: ODBC SQL data type
    std::vector<std::vector<std::string>> v; // v[row][col], 1-based; NULL as ""
    std::vector<std::vector<bool>> isNull;   // isNull[row][col]
};

// Sets the language of the layer's texts: "DE" (default) or "US".
void db_init_language(RunContext& ctx, const std::string& code);

// Opens the database `name`; on success the connection handle is ready.
void db_open(RunContext& ctx, const std::string& name, std::string& status,
             const std::string& password = {}, const std::string& caller = {});
// Closes the connection of the last db_open (nothing when it found no database).
void db_close(RunContext& ctx);
void db_close(RunContext& ctx, std::string& status);

// Writes the diagnostic records of a handle to the diagnostics file, or, when
// a record carries the accepted SQL state, turns the status into that state.
void db_showdiags(RunContext& ctx, SQLSMALLINT handleType, SQLHANDLE handle,
                  std::string& status, const std::string& accepted = {});
// Writes a diagnostic of the layer's own (no ODBC record) to the diagnostics file.
void db_diag_text(RunContext& ctx, const std::string& status, const std::string& text);

void db_create_table(RunContext& ctx, const std::string& name, const std::string& table,
                     const std::string& columns, std::string& status,
                     const std::string& password = {});
void db_drop_table(RunContext& ctx, const std::string& name, const std::string& table,
                   std::string& status, const std::string& password = {});
int db_exists_table(RunContext& ctx, const std::string& name, const std::string& table,
                    std::string& status, const std::string& password = {});
void db_show_tables(RunContext& ctx, const std::string& name, std::string& list,
                    std::string& status, const std::string& password = {});
void db_table_n_row(RunContext& ctx, const std::string& name, const std::string& sql, int& n,
                    std::string& status, const std::string& password = {});
void db_row_delete_by_char(RunContext& ctx, const std::string& name, const std::string& table,
                           const std::string& column, const std::string& value,
                           std::string& status, const std::string& password = {});
void db_append_column(RunContext& ctx, const std::string& name, const std::string& table,
                      const std::string& column, const std::string& type, std::string& status,
                      const std::string& password = {});
// True when the open connection may be written. An Access file read through
// the MDBTools driver is never written: the status then says so for the
// operation `op` and the diagnostics file gets it.
bool db_writable(RunContext& ctx, std::string& status, const std::string& op);
// On the connection opened by the caller: 1 when the table has the column.
int db_exists_column(RunContext& ctx, const std::string& table, const std::string& column);
void db_read_table(RunContext& ctx, const std::string& name, const std::string& table,
                   const std::string& columns, std::string& status, DbTable& out,
                   const std::string& password = {});

// --- helpers for the readers and writers that work on the open connection ---

// The connection handle of the open database (SQL_NULL_HDBC when none).
SQLHDBC db_connection(const RunContext& ctx);
// True when the ODBC return code is SQL_SUCCESS or SQL_SUCCESS_WITH_INFO.
inline bool db_ok(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

// What the first bytes of a file say it is.
enum class DbFileFormat { Unreadable, Empty, SQLite, Jet, Other };
DbFileFormat db_file_format(const std::string& path);
// The file that db_open opens for a database name (".mdb" added to a name
// without extension, found without regard to case); empty for a data source
// name or when there is no such file.
std::string db_file_of(const std::string& name);

// Creates a new, empty SQLite database file (the embedded default format);
// status "ok", or the failure. An existing file is left as it is.
void db_create_file(RunContext& ctx, const std::string& path, std::string& status);

// Runs one SQL statement on the open connection; on failure the status gets
// `failText` and the diagnostics are written.
void db_exec(RunContext& ctx, const std::string& sql, std::string& status,
             const std::string& failText);

// A table or column name as an SQL identifier of the open connection: in the
// driver's identifier quotes, a quote inside the name doubled. A driver
// without identifier quotes gets the name as it is (only the program's own
// fixed names reach such a driver).
std::string db_ident(const RunContext& ctx, const std::string& name);

// Reads one column of the current row of a statement as text; false for NULL.
// Long values are read in full.
bool db_get_text(SQLHSTMT stmt, SQLUSMALLINT col, std::string& out);

}  // namespace rivola::input
