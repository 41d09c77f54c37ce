#include "database/db_tools.h"

#include <fstream>
#include <sstream>

#include "database/column_reference.h"
#include "database/m_database.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::input {

using support::trim;

namespace {

// The columns of a new table as the column reference defines them.
std::string reference_columns(const char* table) {
    std::string s = "(";
    for (const ColumnRef* c : table_columns(table)) s += (s.size() > 1 ? ", " : "") + column_ddl(*c);
    return s + ")";
}

const std::string kAll = reference_columns("tbl_all");
const std::string kRvldaten = reference_columns("tbl_rvldaten");

std::string dir_with_slash(const std::string& dir) {
    if (dir.empty()) return {};
    return dir.back() == '/' ? dir : dir + "/";
}

bool english(const RunContext& ctx) { return ctx.db.lang == "US"; }

}  // namespace

const char* const kTblAllColumns = kAll.c_str();
const char* const kTblRvldatenColumns = kRvldaten.c_str();
const char* const kBerechnungsuebersichtColumns =
    "(Variante varchar(200), Datum varchar(50), Beschreibung1 varchar(100), "
    "Beschreibung2 varchar(50), Beschreibung3 varchar(50), Programmversion varchar(20), "
    "Anh_Erg varchar(20), Anh_Qve varchar(20))";

std::vector<std::string> split_sql_script(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        const size_t b = cur.find_first_not_of(" \t\r\n");
        const size_t e = cur.find_last_not_of(" \t\r\n");
        const std::string s = b == std::string::npos ? std::string() : cur.substr(b, e - b + 1);
        if (!s.empty()) out.push_back(s);
        cur.clear();
    };
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '-' && i + 1 < n && text[i + 1] == '-') {       // line comment
            while (i < n && text[i] != '\n') ++i;
            cur += '\n';
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') { // block comment
            i += 2;
            while (i + 1 < n && !(text[i] == '*' && text[i + 1] == '/')) ++i;
            ++i;
            cur += ' ';
        } else if (c == '\'' || c == '"' || c == '[') {           // quoted text or name
            const char close = c == '[' ? ']' : c;
            cur += c;
            for (++i; i < n; ++i) {
                cur += text[i];
                if (text[i] == close) {
                    if (close != ']' && i + 1 < n && text[i + 1] == close) {  // doubled quote
                        cur += text[++i];
                        continue;
                    }
                    break;
                }
            }
        } else if (c == ';') {
            flush();
        } else {
            cur += c;
        }
    }
    flush();
    return out;
}

void db_new_results(RunContext& ctx, const std::string& dir, std::string& file,
                    std::string& status) {
    file = support::find_file_nocase(dir_with_slash(dir), kResultsDbName);
    db_create_file(ctx, file, status);
    if (status != "ok") return;
    if (db_exists_table(ctx, file, "Berechnungsuebersicht", status)) return;
    if (status != "ok") return;
    db_create_table(ctx, file, "Berechnungsuebersicht", kBerechnungsuebersichtColumns, status);
}

void db_new_variant(RunContext& ctx, const std::string& file, std::string& status) {
    if (support::file_exists(file)) {
        status = english(ctx) ? "The file " + file + " exists already; it is left as it is."
                              : "Die Datei " + file + " existiert bereits und bleibt unverändert.";
        return;
    }
    db_create_file(ctx, file, status);
    if (status == "ok") db_create_table(ctx, file, "tbl_all", kTblAllColumns, status);
    if (status == "ok") db_create_table(ctx, file, "tbl_rvldaten", kTblRvldatenColumns, status);
    if (status != "ok") support::remove_file(file);
}

void db_new_variant_template(RunContext& ctx, const std::string& file, std::string& status) {
    db_new_variant(ctx, file, status);
    if (status != "ok") return;
    const char* rows[] = {
        "INSERT INTO tbl_all (Titel, Zeilen, Bezug, Wasserstand, Q_ls) VALUES ('Neue Variante', 60, 0, 100.20, 'J')",
        "INSERT INTO tbl_rvldaten (id, er, bez, ablauf1, beschreibung, Q, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11) "
        "VALUES (1, 10, 'Q1', 'G1', 'Zulauf', 100, 100.0, 'T', 1.0, 0.8)",
        "INSERT INTO tbl_rvldaten (id, er, bez, zulauf1, ablauf1, beschreibung, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, "
        "GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11) "
        "VALUES (2, 20, 'G1', 'Q1', 'G2', 'Gerinne', 20, 70, 100.0, 'T', 1.0, 0.8, 99.96, 'T', 1.0, 0.8)",
        "INSERT INTO tbl_rvldaten (id, er, bez, zulauf1, ablauf1, beschreibung, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, "
        "GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11) "
        "VALUES (3, 30, 'G2', 'G1', 'ENDE', 'Ablauf', 10, 70, 99.96, 'T', 1.0, 0.8, 99.94, 'T', 1.0, 0.8)",
    };
    db_open(ctx, file, status, {}, "DB_new");
    for (const char* sql : rows)
        if (status == "ok") db_exec(ctx, sql, status, "Fehler(DB_new): f90SQLExecDirect");
    std::string closed;
    db_close(ctx, closed);
    if (status == "ok") status = closed;
    if (status != "ok") support::remove_file(file);
}

void db_load_script(RunContext& ctx, const std::string& file, const std::string& script,
                    std::string& status) {
    status = "ok";
    std::ifstream in(script, std::ios::binary);
    if (!in) {
        status = english(ctx) ? "The script " + script + " cannot be read."
                              : "Das Skript " + script + " kann nicht gelesen werden.";
        return;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    const std::vector<std::string> stmts = split_sql_script(ss.str());

    const std::string tmp = file + ".build";
    support::remove_file(tmp);
    db_create_file(ctx, tmp, status);
    if (status != "ok") return;
    db_open(ctx, tmp, status, {}, "DB_load");
    if (status != "ok") {
        support::remove_file(tmp);
        return;
    }
    SQLSetConnectAttr(db_connection(ctx), SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    for (size_t k = 0; k < stmts.size() && status == "ok"; ++k) {
        db_exec(ctx, stmts[k], status, "Fehler(DB_load): f90SQLExecDirect");
        if (status != "ok") {
            db_diag_text(ctx, status,
                         script + (english(ctx) ? ", statement " : ", Anweisung ") +
                             std::to_string(k + 1) + ": " + support::ucut(stmts[k], 300));
            status += " (" + script + (english(ctx) ? ", statement " : ", Anweisung ") +
                      std::to_string(k + 1) + ")";
        }
    }
    if (status == "ok") {
        if (!db_ok(SQLEndTran(SQL_HANDLE_DBC, db_connection(ctx), SQL_COMMIT))) {
            status = "Fehler(DB_load): f90SQLEndTran";
            db_showdiags(ctx, SQL_HANDLE_DBC, db_connection(ctx), status);
        }
    } else {
        SQLEndTran(SQL_HANDLE_DBC, db_connection(ctx), SQL_ROLLBACK);
    }
    db_close(ctx);
    if (status != "ok") {
        support::remove_file(tmp);
        return;
    }
    if (std::rename(tmp.c_str(), file.c_str()) != 0) {
        status = english(ctx) ? "The database " + file + " cannot be written."
                              : "Die Datenbank " + file + " kann nicht geschrieben werden.";
        support::remove_file(tmp);
    }
}

}  // namespace rivola::input
