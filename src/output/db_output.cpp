#include "output/db_output.h"

#include <cstring>

#include "checks/m_rivola_error.h"
#include "input/m_database.h"
#include "output/listing_data.h"
#include "output/text_fields.h"
#include "support/m_files.h"
#include "support/m_strings.h"
#include "ui/services.h"

namespace rivola::output {

using input::db_ok;

namespace {

SQLCHAR* sqlc(const std::string& s) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str()));
}

std::string missing_text(const RunContext& ctx, const std::string& file) {
    return ctx.english() ? "The results database " + file + " does not exist! Abort"
                         : "Die Ergebnisdatenbank " + file + " exitiert nicht! Abbruch";
}

// Copies a text into a parameter buffer: at most `chars` characters, cut at a
// character boundary so that the buffer (with its terminating zero) holds it.
void set_text(char* buf, size_t size, SQLLEN& ind, const std::string& text, size_t chars) {
    std::string s = support::ucut(support::rtrim(text), chars);
    while (s.size() + 1 > size) s = support::ucut(s, support::ulen(s) - 1);
    std::memcpy(buf, s.c_str(), s.size() + 1);
    ind = s.empty() ? SQL_NULL_DATA : SQL_NTS;
}

void set_real(double& slot, SQLLEN& ind, std::optional<float> v) {
    if (v) {
        slot = static_cast<double>(*v);
        ind = 0;
    } else {
        slot = 0.0;
        ind = SQL_NULL_DATA;
    }
}

SQLRETURN bind_int(SQLHSTMT st, int n, SQLINTEGER* v, SQLLEN* ind) {
    return SQLBindParameter(st, static_cast<SQLUSMALLINT>(n), SQL_PARAM_INPUT, SQL_C_SLONG,
                            SQL_INTEGER, 0, 0, v, 0, ind);
}

SQLRETURN bind_text(SQLHSTMT st, int n, char* buf, size_t size, SQLLEN* ind) {
    return SQLBindParameter(st, static_cast<SQLUSMALLINT>(n), SQL_PARAM_INPUT, SQL_C_CHAR,
                            SQL_VARCHAR, size - 1, 0, buf, static_cast<SQLLEN>(size), ind);
}

SQLRETURN bind_real(SQLHSTMT st, int n, double* v, SQLLEN* ind) {
    return SQLBindParameter(st, static_cast<SQLUSMALLINT>(n), SQL_PARAM_INPUT, SQL_C_DOUBLE,
                            SQL_DOUBLE, 0, 0, v, 0, ind);
}

// One table of a run on the open results database: opened for writing, with
// a transaction over the whole table when the driver supports transactions
// that take table definitions and rows alike.
struct TableSession {
    RunContext& ctx;
    bool open = false;
    bool tx = false;
    SQLHSTMT stmt = SQL_NULL_HSTMT;

    explicit TableSession(RunContext& c) : ctx(c) {}
    ~TableSession() { end(false); }

    bool begin(const std::string& file, const std::string& caller, std::string& st) {
        input::db_open(ctx, file, st, {}, caller);
        if (st != "ok") return false;
        open = true;
        SQLHDBC dbc = input::db_connection(ctx);
        SQLUSMALLINT tc = SQL_TC_NONE;
        tx = db_ok(SQLGetInfo(dbc, SQL_TXN_CAPABLE, &tc, sizeof tc, nullptr)) && tc == SQL_TC_ALL &&
             db_ok(SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT,
                                     reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
        return true;
    }

    // Replaces a table by an empty one with the given columns.
    void replace(const std::string& file, const std::string& table, const std::string& columns,
                 bool existed, const std::string& who, std::string& status) {
        std::string st = "ok";
        if (tx) {
            if (existed)
                input::db_exec(ctx, "DROP TABLE \"" + table + "\";", st,
                               "Fehler(" + who + "): DB_Drop_Table");
            if (st != "ok") {
                status = st;
                return;
            }
            input::db_exec(ctx, "CREATE TABLE [" + table + "] " + columns, st,
                           "Fehler(" + who + "): DB_Create_Table");
            if (st != "ok") status = st;
            return;
        }
        // Without transactions: the operations of the database layer, each on
        // its own connection, then the table is opened again for the rows.
        input::db_close(ctx);
        open = false;
        input::db_drop_table(ctx, file, table, st);
        if (st != "ok") {
            status = "Fehler(" + who + "): DB_Drop_Table";
            return;
        }
        input::db_create_table(ctx, file, table, columns, st);
        if (st != "ok") {
            status = "Fehler(" + who + "): DB_Create_Table";
            return;
        }
        if (!begin(file, who, st)) status = "Fehler(" + who + "): DB_Create_Table";
    }

    // Allocates and prepares the INSERT statement.
    bool prepare(const std::string& sql, const std::string& who, std::string& status) {
        SQLHDBC dbc = input::db_connection(ctx);
        if (!db_ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt))) {
            stmt = SQL_NULL_HSTMT;
            status = "Fehler(" + who + "): f90SQLAllocHandle(2)";
            input::db_showdiags(ctx, SQL_HANDLE_DBC, dbc, status);
            return false;
        }
        if (!db_ok(SQLPrepare(stmt, sqlc(sql), SQL_NTS))) {
            status = "Fehler(" + who + "): f90SQLPrepare";
            input::db_showdiags(ctx, SQL_HANDLE_STMT, stmt, status);
            return false;
        }
        return true;
    }

    // Frees the statement, commits (ok) or rolls back, and closes.
    void end(bool ok, std::string* status = nullptr, const std::string& who = {}) {
        if (stmt) {
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
            stmt = SQL_NULL_HSTMT;
        }
        if (!open) return;
        SQLHDBC dbc = input::db_connection(ctx);
        if (tx) {
            if (ok && !db_ok(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT))) {
                if (status) {
                    *status = "Fehler(" + who + "): f90SQLEndTran";
                    input::db_showdiags(ctx, SQL_HANDLE_DBC, dbc, *status);
                }
                ok = false;
            }
            if (!ok) SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
            SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
        }
        input::db_close(ctx);
        open = false;
    }
};

// A CSV number: the decimals of its listing column, without blanks. The field
// has no width, so a large value keeps all its digits.
std::string cnum(float v, int d) { return support::trim(support::fmt_f(v, 40, d)); }
std::string cnum(std::optional<float> v, int d) { return v ? cnum(*v, d) : std::string(); }

// Name of the element group of element i: the label of its component, or the
// variant's name for the elements of the variant itself.
std::string group_name(const RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    const int s = p.el[i].source;
    if (s > 0 && static_cast<size_t>(s) < p.sources.src.size()) return p.sources.src[s].label;
    return ctx.run.dbName;
}

void log(RunContext& ctx, const std::string& text) {
    if (ctx.ui) ctx.ui->log(text);
}

// Writes the rows of element i through the writer: each to the CSV file and,
// while the database part works, to the table. `who` names the member in a
// failure text.
void write_rows(RunContext& ctx, ErgWriter& w, int i, const char* who) {
    const std::vector<ErgRow> rows = erg_rows(ctx, i, w.k);
    const Element& e = ctx.plant.el[i];
    int k = 0;
    for (const ErgRow& r : rows) {
        ++k;
        ++w.id;
        w.isys = i;
        w.row = r;
        o_csv(w, 1);
        if (!w.db) continue;
        ErgParams& p = w.par;
        p.id = w.id;
        p.ind[1] = 0;
        p.iz = r.iz;
        p.ind[2] = 0;
        set_text(p.kensys, sizeof p.kensys, p.ind[3], e.bez, 20);
        p.ord = r.ord.value_or(0);
        p.ind[4] = r.ord ? 0 : SQL_NULL_DATA;
        const std::optional<float> vals[12] = {r.Q, r.L, r.Lges, r.B, r.z, r.hges,
                                               r.h, r.WSP, r.A, r.v, r.E, r.Tau};
        for (int m = 0; m < 12; ++m) set_real(p.d[m], p.ind[5 + m], vals[m]);
        set_text(p.profil, sizeof p.profil, p.ind[17], r.profil, 1);
        const std::optional<float> loss[4] = {r.HVK, r.HVE1, r.HVE2, r.HVU};
        for (int m = 0; m < 4; ++m) set_real(p.d[12 + m], p.ind[18 + m], loss[m]);
        set_text(p.bemerk, sizeof p.bemerk, p.ind[22], r.remarks(), 20);
        const SQLRETURN rc = SQLExecute(w.stmt);
        if (!db_ok(rc)) {
            w.status = std::string("Fehler(") + who + "): f90SQLExecute(" + std::to_string(k) + ")";
            input::db_showdiags(ctx, SQL_HANDLE_STMT, w.stmt, w.status);
            w.db = false;   // the table is given up; the CSV file is completed
        }
    }
}

bool bind_erg(ErgWriter& w) {
    SQLHSTMT st = w.stmt;
    ErgParams& p = w.par;
    bool ok = db_ok(bind_int(st, 1, &p.id, &p.ind[1])) && db_ok(bind_int(st, 2, &p.iz, &p.ind[2])) &&
              db_ok(bind_text(st, 3, p.kensys, sizeof p.kensys, &p.ind[3])) &&
              db_ok(bind_int(st, 4, &p.ord, &p.ind[4]));
    for (int m = 0; m < 12 && ok; ++m) ok = db_ok(bind_real(st, 5 + m, &p.d[m], &p.ind[5 + m]));
    ok = ok && db_ok(bind_text(st, 17, p.profil, sizeof p.profil, &p.ind[17]));
    for (int m = 0; m < 4 && ok; ++m) ok = db_ok(bind_real(st, 18 + m, &p.d[12 + m], &p.ind[18 + m]));
    return ok && db_ok(bind_text(st, 22, p.bemerk, sizeof p.bemerk, &p.ind[22]));
}

// Every element's rows, by the member of its type.
void element_loop(RunContext& ctx, ErgWriter& w) {
    const Plant& p = ctx.plant;
    std::array<int, kMaxItyp + 1> count{};
    for (int i = 1; i <= p.nsys; ++i) {
        const int t = p.el[i].ityp;
        w.k = (t >= 0 && t <= kMaxItyp) ? ++count[t] : 0;
        switch (t) {
            case T_G:
            case T_D:
            case T_B:
            case T_T: db_erg_outtrs(ctx, w, i); break;
            case T_V: db_erg_outver(ctx, w, i); break;
            case T_S: db_erg_outsam(ctx, w, i); break;
            case T_Q: db_erg_outqzu(ctx, w, i); break;
            case T_R: db_erg_outrec(ctx, w, i); break;
            case T_U: db_erg_outueb(ctx, w, i); break;
            case T_W: db_erg_outwan(ctx, w, i); break;
            case T_M: db_erg_outmes(ctx, w, i); break;
            case T_P: db_erg_outpum(ctx, w, i); break;
            case T_A: db_erg_outauf(ctx, w, i); break;
            case T_Z: db_erg_outzus(ctx, w, i); break;
            default: break;
        }
        if (ctx.failed()) break;
    }
}

void start_writer(RunContext& ctx, ErgWriter& w) {
    w.ctx = &ctx;
    w.csvFile = ctx.run.basePath + ".csv";
    w.groups = ctx.plant.sources.hasComponents();
}

}  // namespace

// ---------------------------------------------------------------------------

void o_csv(ErgWriter& w, int mode) {
    if (mode == 9) {
        if (w.csvOpen) {
            w.csv.close();
            w.csvOpen = false;
            if (!w.csv) w.csvFailed = true;
        }
        return;
    }
    if (mode != 1 || w.csvFailed || !w.ctx) return;
    if (!w.csvOpen) {
        w.csv.open(w.csvFile, std::ios::binary | std::ios::trunc);
        if (!w.csv) {
            w.csvFailed = true;
            return;
        }
        w.csvOpen = true;
        w.csv << (w.groups ? kCsvHeaderGroups : kCsvHeader) << '\n';
    }
    const RunContext& ctx = *w.ctx;
    const Element& e = ctx.plant.el[w.isys];
    const ErgRow& r = w.row;
    std::string l;
    auto field = [&l](const std::string& s) {
        l += s;
        l += ';';
    };
    field(std::to_string(w.id));
    field(std::to_string(r.iz));
    if (w.groups) field(csv_text(group_name(ctx, w.isys)));
    field(csv_text(e.bez));
    field(csv_text(e.beschreibung));
    field(r.ord ? std::to_string(*r.ord) : std::string());
    field(cnum(r.Q, 4));
    field(cnum(r.L, 3));
    field(cnum(r.z, 3));
    field(cnum(r.hges, 3));
    field(cnum(r.h, 3));
    field(cnum(r.WSP, 3));
    field(cnum(r.A, 3));
    field(cnum(r.v, 2));
    field(cnum(r.E, 4));
    field(cnum(r.Tau, 2));
    field(csv_text(r.profil));
    field(cnum(r.HVK, 4));
    field(cnum(r.HVE1, 4));
    field(cnum(r.HVE2, 4));
    field(cnum(r.HVU, 4));
    field(csv_text(r.remarks()));
    w.csv << l << '\n';
}

void db_erg_outtrs(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTTRS"); }
void db_erg_outver(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTVER"); }
void db_erg_outsam(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTSAM"); }
void db_erg_outqzu(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTQZU"); }
void db_erg_outrec(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTREC"); }
void db_erg_outueb(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTUEB"); }
void db_erg_outmes(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTMES"); }
void db_erg_outpum(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTPUM"); }
void db_erg_outzus(RunContext& ctx, ErgWriter& w, int i) { write_rows(ctx, w, i, "DB_ERG_OUTZUS"); }

void db_erg_outwan(RunContext& ctx, ErgWriter& w, int i) {
    const Element& e = ctx.plant.el[i];
    // A given single-loss head smaller than the velocity head below the wall:
    // the computation took one velocity head as the least loss.
    float hve = e.hvs;
    if (!(hve > 0.0f) && given(e.hve.HVE)) hve = e.hve.HVE;
    const float v = e.res[1].v;
    if (hve > 0.00002f && hve < v * v * 0.5f * 0.10197f)
        checks::report(ctx, "W50", e.bez_lang.empty() ? e.bez : e.bez_lang);
    if (ctx.failed()) return;
    write_rows(ctx, w, i, "DB_ERG_OUTWAN");
}

void db_erg_outauf(RunContext& ctx, ErgWriter& w, int i) {
    const Element& e = ctx.plant.el[i];
    // Critical depth set at the inlet section: the iterated split is doubtful.
    if (support::rtrim(e.res[2].bem[1]) == "gr") checks::report(ctx, "W60", e.bez_lang.empty() ? e.bez : e.bez_lang);
    if (ctx.failed()) return;
    write_rows(ctx, w, i, "DB_ERG_OUTAUF");
}

void out_tbl_berechnungsuebersicht(RunContext& ctx, const std::string& dbFile,
                                   const std::string& variant, std::string& status) {
    const std::string who = "out_tbl_Berechnungsuebersicht";
    status = "ok";
    if (!support::file_exists(dbFile)) {
        status = missing_text(ctx, dbFile);
        return;
    }
    TableSession s(ctx);
    std::string st = "ok";
    if (!s.begin(dbFile, who, st)) {
        status = "Fehler(" + who + "): DB_row_delete_by_char";
        return;
    }
    if (s.tx) {
        // The old row goes in the same transaction as the new one comes.
        SQLHSTMT del = SQL_NULL_HSTMT;
        SQLHDBC dbc = input::db_connection(ctx);
        bool ok = db_ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &del));
        std::string key = support::rtrim(variant);
        SQLLEN ind = SQL_NTS;
        ok = ok && db_ok(SQLPrepare(del, sqlc("DELETE FROM Berechnungsuebersicht WHERE Variante = ?"), SQL_NTS)) &&
             db_ok(SQLBindParameter(del, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, key.size() + 1, 0,
                                    key.data(), static_cast<SQLLEN>(key.size() + 1), &ind));
        if (ok) {
            const SQLRETURN r = SQLExecute(del);
            ok = db_ok(r) || r == SQL_NO_DATA;
        }
        if (!ok) {
            status = "Fehler(" + who + "): DB_row_delete_by_char";
            if (del) input::db_showdiags(ctx, SQL_HANDLE_STMT, del, status);
        }
        if (del) SQLFreeHandle(SQL_HANDLE_STMT, del);
        if (!ok) return;
    } else {
        s.end(true);
        input::db_row_delete_by_char(ctx, dbFile, "Berechnungsuebersicht", "Variante ", variant, st);
        if (st != "ok") {
            status = "Fehler(" + who + "): DB_row_delete_by_char";
            return;
        }
        if (!s.begin(dbFile, who, st)) {
            status = "Fehler(" + who + "): f90SQLPrepare";
            return;
        }
    }
    const std::string sql =
        "INSERT INTO Berechnungsuebersicht (Variante,Datum,Beschreibung1,Beschreibung2,Beschreibung3,"
        "Programmversion,Anh_Erg,Anh_Qve) VALUES (?       ,?    ,?            ,?            ,?            "
        ",?              ,?      ,?      )";
    if (!s.prepare(sql, who, status)) return;
    const BaseSettings& a = ctx.plant.all;
    const std::string values[8] = {variant,
                                   a.datum,
                                   a.titel[1],
                                   a.titel[2],
                                   a.titel[3],
                                   ctx.settings.programName + " " + ctx.settings.version,
                                   a.AnhangERG,
                                   a.AnhangQVE};
    const size_t chars[8] = {200, 50, 100, 50, 50, 20, 20, 20};
    char buf[8][808];
    SQLLEN ind[8];
    bool ok = true;
    for (int k = 0; k < 8 && ok; ++k) {
        set_text(buf[k], sizeof buf[k], ind[k], values[k], chars[k]);
        ok = db_ok(bind_text(s.stmt, k + 1, buf[k], sizeof buf[k], &ind[k]));
    }
    if (!ok || !db_ok(SQLExecute(s.stmt))) {
        status = "Fehler(" + who + "): f90SQLExecute";
        input::db_showdiags(ctx, SQL_HANDLE_STMT, s.stmt, status);
        return;
    }
    s.end(true, &status, who);
}

void out_tbl_erg(RunContext& ctx, const std::string& dbFile, const std::string& variant,
                 std::string& status) {
    const std::string who = "out_tbl_erg";
    const std::string table = "ERG_" + support::rtrim(variant);
    status = "ok";
    ErgWriter w;
    start_writer(ctx, w);
    TableSession s(ctx);
    if (!support::file_exists(dbFile)) {
        status = missing_text(ctx, dbFile);
    } else {
        std::string st = "ok";
        const int existed = input::db_exists_table(ctx, dbFile, table, st);
        if (st != "ok" || !s.begin(dbFile, who, st)) status = "Fehler(" + who + "): DB_Drop_Table";
        if (status == "ok") s.replace(dbFile, table, kErgColumns, existed != 0, who, status);
        if (status == "ok") {
            const std::string sql =
                "INSERT INTO [" + table +
                "] (ID,IZ,KENSYS,ORD,Q,L,Lges,B,Z,HGES,H,WSP,A,V,E,Tau,PROFIL,HVK,HVE1,HVE2,HVU,BEMERK )"
                "VALUES (? ,? ,?     ,?  ,?,?,?   ,?,?,?   ,?,?  ,?,?,?,?  ,?     ,?  ,?   ,?   ,?  ,?      )";
            if (s.prepare(sql, who, status)) {
                w.stmt = s.stmt;
                if (bind_erg(w)) {
                    w.db = true;
                } else {
                    status = "Fehler(" + who + "): f90SQLBindParameter";
                    input::db_showdiags(ctx, SQL_HANDLE_STMT, s.stmt, status);
                }
            }
        }
    }
    element_loop(ctx, w);
    o_csv(w, 9);
    if (w.csvFailed && ctx.ui)
        log(ctx, (ctx.english() ? "CSV file not written: " : "CSV-Datei nicht geschrieben: ") + w.csvFile);
    else if (!w.csvFailed)
        ctx.run.writtenFiles.push_back(w.csvFile);
    if (status == "ok" && w.status != "ok") status = w.status;
    s.end(status == "ok" && w.db, &status, who);
}

void out_tbl_qve(RunContext& ctx, const std::string& dbFile, const std::string& variant,
                 std::string& status) {
    const std::string who = "out_tbl_qve";
    const std::string table = "QVE_" + support::rtrim(variant);
    status = "ok";
    if (!support::file_exists(dbFile)) {
        status = missing_text(ctx, dbFile);
        return;
    }
    TableSession s(ctx);
    std::string st = "ok";
    const int existed = input::db_exists_table(ctx, dbFile, table, st);
    if (st != "ok" || !s.begin(dbFile, who, st)) {
        status = "Fehler(" + who + "): DB_Drop_Table";
        return;
    }
    s.replace(dbFile, table, kQveColumns, existed != 0, who, status);
    if (status != "ok") return;
    const std::string sql = "INSERT INTO [" + table +
                            "] (ID,KENSYS,ORD,KENZA1,ORDZA1,Q_ZA1,P_ZA1,Z_ZA1,KENZA2,ORDZA2,Q_ZA2,P_ZA2,Z_ZA2) "
                            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)";
    if (!s.prepare(sql, who, status)) return;
    SQLINTEGER id = 0, ord = 0, ordz[2] = {0, 0};
    char kensys[64], kenz[2][64];
    double q[2], pct[2], zeta[2];
    SQLLEN ind[14] = {};
    bool ok = db_ok(bind_int(s.stmt, 1, &id, &ind[1])) &&
              db_ok(bind_text(s.stmt, 2, kensys, sizeof kensys, &ind[2])) &&
              db_ok(bind_int(s.stmt, 3, &ord, &ind[3]));
    for (int j = 0; j < 2 && ok; ++j) {
        const int b = 4 + 5 * j;
        ok = db_ok(bind_text(s.stmt, b, kenz[j], sizeof kenz[j], &ind[b])) &&
             db_ok(bind_int(s.stmt, b + 1, &ordz[j], &ind[b + 1])) &&
             db_ok(bind_real(s.stmt, b + 2, &q[j], &ind[b + 2])) &&
             db_ok(bind_real(s.stmt, b + 3, &pct[j], &ind[b + 3])) &&
             db_ok(bind_real(s.stmt, b + 4, &zeta[j], &ind[b + 4]));
    }
    if (!ok) {
        status = "Fehler(" + who + "): f90SQLBindParameter";
        input::db_showdiags(ctx, SQL_HANDLE_STMT, s.stmt, status);
        return;
    }
    const Plant& p = ctx.plant;
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& e = p.el[i];
        if (e.ityp != T_A && e.ityp != T_Z) continue;
        ++id;
        ind[1] = 0;
        set_text(kensys, sizeof kensys, ind[2], e.bez, 20);
        ord = e.istrang;
        ind[3] = 0;
        for (int j = 1; j <= 2; ++j) {
            const int b = 4 + 5 * (j - 1);
            const int k = e.ityp == T_Z ? e.izu[j] : e.iab[j];
            const std::string& name = e.ityp == T_Z ? (j == 1 ? e.zulauf1 : e.zulauf2)
                                                    : (j == 1 ? e.ablauf1 : e.ablauf2);
            set_text(kenz[j - 1], sizeof kenz[j - 1], ind[b], name, 20);
            ordz[j - 1] = k >= 1 && k <= p.nsys ? p.el[k].istrang : 0;
            ind[b + 1] = k >= 1 && k <= p.nsys ? 0 : SQL_NULL_DATA;
            set_real(q[j - 1], ind[b + 2], branch_discharge(ctx, i, j));
            set_real(pct[j - 1], ind[b + 3], branch_share(ctx, i, j));
            float z = 0.0f;
            set_real(zeta[j - 1], ind[b + 4], branch_zeta(ctx, i, j, z) ? std::optional<float>(z) : std::nullopt);
        }
        if (!db_ok(SQLExecute(s.stmt))) {
            status = "Fehler(" + who + "): f90SQLExecute";
            input::db_showdiags(ctx, SQL_HANDLE_STMT, s.stmt, status);
            return;
        }
    }
    s.end(true, &status, who);
}

// ---------------------------------------------------------------------------

std::string results_db_file(const RunContext& ctx) {
    if (!ctx.run.resultsDb.empty()) return ctx.run.resultsDb;
    return support::find_file_nocase(ctx.run.dbDir, "Rivola_8_Ergebnisse.MDB");
}

std::string variant_name(const RunContext& ctx) { return ctx.run.dbName; }

void write_erg_tables(RunContext& ctx) {
    if (ctx.failed()) return;
    const std::string file = results_db_file(ctx);
    const std::string var = variant_name(ctx);
    std::string st;
    out_tbl_berechnungsuebersicht(ctx, file, var, st);
    ctx.run.resultsStatus = st;
    const std::string tag = ctx.english() ? "results database: " : "Ergebnisdatenbank: ";
    if (st == "ok") {
        out_tbl_erg(ctx, file, var, st);
        if (st != "ok") log(ctx, tag + st);
        return;
    }
    log(ctx, tag + st);
    // The variant is not registered: no table, but the CSV file of this run.
    ErgWriter w;
    start_writer(ctx, w);
    element_loop(ctx, w);
    o_csv(w, 9);
    if (!w.csvFailed) ctx.run.writtenFiles.push_back(w.csvFile);
}

void write_qve_table(RunContext& ctx) {
    if (ctx.failed() || ctx.run.resultsStatus != "ok") return;
    std::string st;
    out_tbl_qve(ctx, results_db_file(ctx), variant_name(ctx), st);
    if (st != "ok") log(ctx, (ctx.english() ? "results database: " : "Ergebnisdatenbank: ") + st);
}

}  // namespace rivola::output
