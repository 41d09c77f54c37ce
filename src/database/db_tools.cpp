#include "database/db_tools.h"

#include <fstream>
#include <sstream>

#include "database/m_database.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::input {

using support::trim;

namespace {

std::string profile_columns(const char* end, int digit) {
    // end "o"/"u", profile digit 1/2: invert, type, rise, five layers
    const std::string d = std::to_string(digit);
    const std::string e = end;
    const std::string up = e == "o" ? "O" : "U";
    std::string s = ", GEO_Z" + up + d + " double, GEO_" + e + "T" + d + " varchar(1), GEO_" + e +
                    "HS" + d + " double";
    for (int k = 1; k <= 5; ++k)
        s += ", GEO_" + e + "H" + d + std::to_string(k) + " double, GEO_" + e + "B" + d +
             std::to_string(k) + " double";
    return s;
}

std::string rvldaten_columns() {
    std::string s =
        "(id integer primary key, er integer, sr integer, bez varchar(12), "
        "zulauf1 varchar(12), zulauf2 varchar(12), ablauf1 varchar(12), ablauf2 varchar(12), "
        "beschreibung varchar(26), Q double, plotweg varchar(1), tz varchar(1), np varchar(1), "
        "out_erk varchar(1), out_tau varchar(1), aufteilung1 double, aufteilung2 double, "
        "geloescht integer, GEO_L double, GEO_K double, GEO_C double, GEO_C2 double";
    s += profile_columns("o", 1) + profile_columns("u", 1) + profile_columns("o", 2) +
         profile_columns("u", 2);
    s += ", HVE_HVE double";
    for (int k = 1; k <= 6; ++k) s += ", HVE_zeta" + std::to_string(k) + " double";
    for (int k = 1; k <= 6; ++k) s += ", HVE_zeta" + std::to_string(k) + "_2 double";
    s += ", HVE_mue double, HVE_n_c double, HVE_H double, HVE_BU double, HVE_BO double, "
         "HVE_A double, HVE_T varchar(1), HVE_N integer";
    for (int k = 1; k <= 6; ++k) s += ", HVE_ERLAEUTER" + std::to_string(k) + " varchar(255)";
    s += ")";
    return s;
}

const std::string kRvldaten = rvldaten_columns();

std::string dir_with_slash(const std::string& dir) {
    if (dir.empty()) return {};
    return dir.back() == '/' ? dir : dir + "/";
}

bool english(const RunContext& ctx) { return ctx.db.lang == "US"; }

}  // namespace

const char* const kTblAllColumns =
    "(Titel varchar(199), Vmin double, Vmax double, Bmin double, Bmax double, Hmin double, "
    "Hmax double, Lmax double, DIFFmax double, Zeilen integer, Bezug double, "
    "Wasserstand double, Q_ls varchar(1), AnhangERG varchar(19), AnhangERK varchar(19), "
    "AnhangQVE varchar(19), datum Date)";
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
