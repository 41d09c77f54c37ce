#include "database/db_tables.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "database/m_database.h"
#include "database/m_db_input.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::input {

using support::trim;
using support::upper;

namespace {

SQLCHAR* sqlc(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

bool english(const RunContext& ctx) { return ctx.db.lang == "US"; }
std::string tr(const RunContext& ctx, const std::string& de, const std::string& en) {
    return english(ctx) ? en : de;
}

struct Stmt {
    SQLHSTMT h = SQL_NULL_HSTMT;
    bool alloc(SQLHDBC dbc) { return dbc && db_ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h)); }
    ~Stmt() {
        if (h) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};

// The kind of an ODBC SQL data type; false for one a variant never holds
// (binary data), which is not copied silently.
bool kind_of(SQLSMALLINT type, Kind& kind) {
    switch (type) {
        case SQL_BIT: case SQL_TINYINT: case SQL_SMALLINT: case SQL_INTEGER: case SQL_BIGINT:
            kind = Kind::Integer;
            return true;
        case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE: case SQL_NUMERIC: case SQL_DECIMAL:
            kind = Kind::Real;
            return true;
        case SQL_DATE: case SQL_TYPE_DATE: case SQL_TIMESTAMP: case SQL_TYPE_TIMESTAMP:
            kind = Kind::Date;
            return true;
        case SQL_CHAR: case SQL_VARCHAR: case SQL_LONGVARCHAR:
        case SQL_WCHAR: case SQL_WVARCHAR: case SQL_WLONGVARCHAR:
            kind = Kind::Text;
            return true;
        default:
            return false;
    }
}

// The column definitions of a new table.
std::string ddl(const Table& t) {
    std::string s = "CREATE TABLE \"" + t.name + "\" (";
    for (size_t c = 0; c < t.cols.size(); ++c) {
        const Column& col = t.cols[c];
        if (!col.ddl.empty()) {
            s += (c ? ", " : "") + col.ddl;
            continue;
        }
        s += (c ? ", \"" : "\"") + col.name + "\" ";
        switch (col.kind) {
            case Kind::Integer: s += "integer"; break;
            case Kind::Real: s += "double"; break;
            case Kind::Date: s += "Date"; break;
            case Kind::Text:
                s += col.size > 0 && col.size <= 8000 ? "varchar(" + std::to_string(col.size) + ")" : "text";
                break;
        }
    }
    return s + ")";
}

// One value of the current row as the text written into the new file: a
// whole number as it is, a floating number with the 17 digits that give back
// the same double, a date as YYYY-MM-DD (with the time when not midnight).
bool get_value(SQLHSTMT st, SQLUSMALLINT c, Kind kind, std::optional<std::string>& out) {
    out.reset();
    SQLLEN ind = 0;
    char buf[64];
    switch (kind) {
        case Kind::Integer: {
            SQLINTEGER v = 0;  // Access keeps 32-bit whole numbers
            if (!db_ok(SQLGetData(st, c, SQL_C_SLONG, &v, 0, &ind))) return false;
            if (ind == SQL_NULL_DATA) return true;
            std::snprintf(buf, sizeof buf, "%ld", static_cast<long>(v));
            break;
        }
        case Kind::Real: {
            double v = 0;
            if (!db_ok(SQLGetData(st, c, SQL_C_DOUBLE, &v, 0, &ind))) return false;
            if (ind == SQL_NULL_DATA) return true;
            std::snprintf(buf, sizeof buf, "%.17g", v);
            break;
        }
        case Kind::Date: {
            SQL_TIMESTAMP_STRUCT v{};
            if (!db_ok(SQLGetData(st, c, SQL_C_TYPE_TIMESTAMP, &v, sizeof v, &ind))) return false;
            if (ind == SQL_NULL_DATA) return true;
            if (v.hour || v.minute || v.second)
                std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", v.year, v.month, v.day,
                              v.hour, v.minute, v.second);
            else
                std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", v.year, v.month, v.day);
            break;
        }
        case Kind::Text: {
            std::string s;
            if (db_get_text(st, c, s)) out = s;
            return true;
        }
    }
    out = buf;
    return true;
}

// The user tables of the open database (no system tables, no views).
bool list_tables(RunContext& ctx, std::vector<std::string>& names, std::string& status) {
    Stmt st;
    std::string all = "%";
    if (!st.alloc(db_connection(ctx)) ||
        !db_ok(SQLTables(st.h, nullptr, 0, nullptr, 0, sqlc(all), SQL_NTS, nullptr, 0))) {
        status = "Fehler(DB_convert): f90SQLTables";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        return false;
    }
    std::string name, type;
    while (db_ok(SQLFetch(st.h))) {
        if (!db_get_text(st.h, 3, name)) continue;
        if (!db_get_text(st.h, 4, type) || upper(trim(type)) == "TABLE") names.push_back(trim(name));
    }
    return true;
}

// The columns of a table of the open database, in their order.
bool list_columns(RunContext& ctx, const std::string& file, Table& t, std::string& status) {
    Stmt st;
    std::string name = t.name;
    if (!st.alloc(db_connection(ctx)) ||
        !db_ok(SQLColumns(st.h, nullptr, 0, nullptr, 0, sqlc(name), SQL_NTS, nullptr, 0))) {
        status = "Fehler(DB_convert): f90SQLColumns";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        return false;
    }
    std::string tn, cn, type, size;
    while (db_ok(SQLFetch(st.h))) {
        db_get_text(st.h, 3, tn);
        if (upper(trim(tn)) != upper(t.name)) continue;
        db_get_text(st.h, 4, cn);
        db_get_text(st.h, 5, type);
        if (!db_get_text(st.h, 7, size)) size.clear();
        Column col;
        col.name = trim(cn);
        if (!kind_of(static_cast<SQLSMALLINT>(std::atoi(type.c_str())), col.kind)) {
            status = file + ": " + tr(ctx, "Tabelle ", "table ") + t.name + tr(ctx, ", Spalte ", ", column ") +
                     col.name +
                     tr(ctx, ": Datentyp " + type + " kann nicht übernommen werden",
                        ": data type " + type + " cannot be copied");
            db_diag_text(ctx, "Fehler(DB_convert)", status);
            return false;
        }
        col.size = std::atol(size.c_str());
        t.cols.push_back(col);
    }
    if (t.cols.empty()) {
        status = file + ": " + tr(ctx, "Tabelle ", "table ") + t.name +
                 tr(ctx, " ohne lesbare Spalten", " without readable columns");
        return false;
    }
    return true;
}

// A table or column name in a SELECT: the read-only Access driver takes
// [brackets], the others their own identifier quotes.
std::string select_name(const RunContext& ctx, const std::string& name) {
    return ctx.db.kind == DbKind::MDBTools && !name.empty() && name.find(']') == std::string::npos ? "[" + name + "]"
                                                                                   : db_ident(ctx, name);
}

bool read_rows(RunContext& ctx, Table& t, std::string& status) {
    std::string sql = "SELECT ";
    for (size_t c = 0; c < t.cols.size(); ++c) sql += (c ? ", " : "") + select_name(ctx, t.cols[c].name);
    sql += " FROM " + select_name(ctx, t.name);
    Stmt st;
    if (!st.alloc(db_connection(ctx)) || !db_ok(SQLExecDirect(st.h, sqlc(sql), SQL_NTS))) {
        status = "Fehler(DB_convert): f90SQLExecDirect " + t.name;
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        return false;
    }
    for (;;) {
        const SQLRETURN r = SQLFetch(st.h);
        if (r == SQL_NO_DATA) break;
        if (!db_ok(r)) {
            status = "Fehler(DB_convert): f90SQLFetch " + t.name;
            db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
            return false;
        }
        std::vector<std::optional<std::string>> row(t.cols.size());
        for (size_t c = 0; c < t.cols.size(); ++c) {
            if (!get_value(st.h, static_cast<SQLUSMALLINT>(c + 1), t.cols[c].kind, row[c])) {
                status = "Fehler(DB_convert): f90SQLGetData " + t.name + "." + t.cols[c].name;
                db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                return false;
            }
        }
        t.rows.push_back(std::move(row));
    }
    return true;
}

}  // namespace

// Reads every table of one database file.
bool read_database(RunContext& ctx, Database& db, std::string& status) {
    db_open(ctx, db.source, status, {}, "DB_convert");
    if (status != "ok") return false;
    db.readOnly = ctx.db.readOnly || ctx.db.kind == DbKind::MDBTools;
    std::vector<std::string> names;
    bool ok = list_tables(ctx, names, status);
    for (size_t k = 0; ok && k < names.size(); ++k) {
        Table t;
        t.name = names[k];
        ok = list_columns(ctx, db.source, t, status) && read_rows(ctx, t, status);
        if (ok) db.tables.push_back(std::move(t));
    }
    db_close(ctx);
    return ok;
}

const Table* find_table(const Database& db, const std::string& name) {
    for (const Table& t : db.tables)
        if (upper(t.name) == upper(name)) return &t;
    return nullptr;
}

int find_column(const Table& t, const std::string& name) {
    for (size_t c = 0; c < t.cols.size(); ++c)
        if (upper(t.cols[c].name) == upper(name)) return static_cast<int>(c);
    return -1;
}

// The names of the components of a variant: its live rows (deletion mark 0
// or none) whose name begins with "C_".
std::vector<std::string> components(const Database& variant) {
    std::vector<std::string> out;
    const Table* t = find_table(variant, "tbl_rvldaten");
    const int bez = t ? find_column(*t, "bez") : -1;
    if (bez < 0) return out;
    const int del = find_column(*t, "geloescht");
    for (const auto& row : t->rows) {
        const std::string name = row[static_cast<size_t>(bez)] ? trim(*row[static_cast<size_t>(bez)]) : "";
        const bool deleted = del >= 0 && row[static_cast<size_t>(del)] &&
                             std::atof(row[static_cast<size_t>(del)]->c_str()) != 0.0;
        if (!deleted && name.rfind("C_", 0) == 0) out.push_back(name);
    }
    return out;
}

// Writes one database into the new SQLite file `file`, all in one transaction.
bool write_database(RunContext& ctx, const Database& db, const std::string& file, std::string& status) {
    support::remove_file(file);
    db_create_file(ctx, file, status);
    if (status != "ok") return false;
    db_open(ctx, file, status, {}, "DB_convert");
    if (status != "ok") return false;
    SQLHDBC dbc = db_connection(ctx);
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    for (const Table& t : db.tables) {
        db_exec(ctx, ddl(t), status, "Fehler(DB_convert): CREATE TABLE " + t.name);
        if (status != "ok") break;
        std::string sql = "INSERT INTO \"" + t.name + "\" VALUES (";
        for (size_t c = 0; c < t.cols.size(); ++c) sql += c ? ", ?" : "?";
        sql += ")";
        Stmt ins;
        if (!ins.alloc(dbc) || !db_ok(SQLPrepare(ins.h, sqlc(sql), SQL_NTS))) {
            status = "Fehler(DB_convert): f90SQLPrepare " + t.name;
            db_showdiags(ctx, SQL_HANDLE_STMT, ins.h, status);
            break;
        }
        std::vector<SQLLEN> ind(t.cols.size());
        for (const auto& row : t.rows) {
            bool bound = true;
            for (size_t c = 0; c < t.cols.size(); ++c) {
                const std::optional<std::string>& v = row[c];
                ind[c] = v ? static_cast<SQLLEN>(v->size()) : SQL_NULL_DATA;
                bound = bound && db_ok(SQLBindParameter(
                                     ins.h, static_cast<SQLUSMALLINT>(c + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                                     SQL_VARCHAR, v ? v->size() + 1 : 1, 0,
                                     const_cast<char*>(v ? v->c_str() : ""),
                                     v ? static_cast<SQLLEN>(v->size() + 1) : 0, &ind[c]));
            }
            if (!bound || !db_ok(SQLExecute(ins.h))) {
                status = "Fehler(DB_convert): f90SQLExecute " + t.name;
                db_showdiags(ctx, SQL_HANDLE_STMT, ins.h, status);
                break;
            }
        }
        if (status != "ok") break;
    }
    if (status == "ok" && !db_ok(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT))) {
        status = "Fehler(DB_convert): f90SQLEndTran";
        db_showdiags(ctx, SQL_HANDLE_DBC, dbc, status);
    }
    if (status != "ok") SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
    std::string closed;
    db_close(ctx, closed);
    if (status == "ok" && closed != "ok") status = closed;
    return status == "ok";
}

bool read_variant_databases(RunContext& ctx, const std::string& source, std::vector<Database>& dbs,
                            std::string& status) {
    status = "ok";
    dbs.assign(1, Database{});
    // everything is read first: the variant, then its components
    dbs[0].source = db_file_of(source).empty() ? source : db_file_of(source);
    if (!read_database(ctx, dbs[0], status)) return false;
    for (const char* want : {"tbl_all", "tbl_rvldaten"}) {
        if (find_table(dbs[0], want)) continue;
        status = dbs[0].source + tr(ctx, ": keine Variantendatenbank - keine Tabelle ",
                                    ": not a variant database - no table ") + want;
        return false;
    }
    for (const std::string& c : components(dbs[0])) {
        Database comp;
        const std::string name = component_file(dbs[0].source, c);
        comp.source = db_file_of(name);
        comp.component = c;
        if (comp.source.empty()) {
            status = name + tr(ctx, ": Komponente " + c + " der Variante fehlt",
                               ": component " + c + " of the variant is missing");
            return false;
        }
        if (!read_database(ctx, comp, status)) return false;
        dbs.push_back(std::move(comp));
    }
    return true;
}

bool save_database(RunContext& ctx, const Database& db, const std::string& file, std::string& status) {
    const std::string tmp = file + ".build";
    if (!write_database(ctx, db, tmp, status)) {
        support::remove_file(tmp);
        return false;
    }
    if (std::rename(tmp.c_str(), file.c_str()) != 0) {
        status = file + tr(ctx, " kann nicht geschrieben werden", " cannot be written");
        support::remove_file(tmp);
        return false;
    }
    return true;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

void write_variant_files(RunContext& ctx, const std::vector<Database>& dbs, bool force,
                         std::vector<std::string>& written, std::string& status) {
    written.clear();
    status = "ok";
    // no file is overwritten that was not meant to be
    for (const Database& db : dbs) {
        for (const Database& src : dbs) {
            if (support::file_exists(db.target) && same_file(db.target, src.source)) {
                status = db.target + tr(ctx, ": das Ziel ist eine Quelldatei der Umwandlung",
                                        ": the target is one of the files converted");
                return;
            }
        }
        if (!force && support::file_exists(db.target)) {
            status = db.target + tr(ctx, " existiert bereits (mit --force überschreiben)",
                                    " exists already (overwrite with --force)");
            return;
        }
    }
    // each file is built beside its target and takes its name when all are built
    std::vector<std::string> built;
    for (const Database& db : dbs) {
        const std::string tmp = db.target + ".build";
        built.push_back(tmp);
        if (!write_database(ctx, db, tmp, status)) {
            for (const std::string& b : built) support::remove_file(b);
            return;
        }
    }
    for (size_t k = 0; k < dbs.size(); ++k) {
        if (std::rename(built[k].c_str(), dbs[k].target.c_str()) != 0) {
            status = dbs[k].target + tr(ctx, " kann nicht geschrieben werden", " cannot be written");
            for (size_t j = k; j < built.size(); ++j) support::remove_file(built[j]);
            return;
        }
        written.push_back(dbs[k].target);
    }
}

}  // namespace rivola::input
