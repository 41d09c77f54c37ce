#include "output/db_output.h"

#include <mutex>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "messages/m_rivola_error.h"
#include "database/m_database.h"
#include "output/listing_data.h"
#include "output/result_files.h"
#include "output/text_fields.h"
#include "support/constants.h"
#include "support/m_files.h"
#include "support/m_strings.h"
#include "messages/m_realwin.h"
#include "messages/services.h"

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

// Parameter buffers of one row of the "ERG_" table, bound once to the prepared
// INSERT. Text buffers hold a name or remark text of UTF-8 characters.
struct ErgParams {
    SQLINTEGER id = 0, iz = 0, ord = 0;
    char kensys[64] = {};
    char profil[8] = {};
    char bemerk[64] = {};
    // Q, L, Lges, B, Z, HGES, H, WSP, A, V, E, Tau, HVK, HVE1, HVE2, HVU, Freibord
    double d[17] = {};
    SQLLEN ind[24] = {};             // indicator per parameter, 1..23
};

// The insert of n rows into the results table.
std::string erg_insert(const std::string& table, size_t n) {
    std::string sql = "INSERT INTO " + table +
                      " (ID,IZ,KENSYS,ORD,Q,L,Lges,B,Z,HGES,H,WSP,A,V,E,Tau,PROFIL,HVK,HVE1,HVE2,HVU,BEMERK,Freibord) VALUES ";
    for (size_t r = 0; r < n; ++r) sql += r ? ",(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)" : "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    return sql;
}

// Binds the 23 values of one row as parameters base + 1 .. base + 23.
bool bind_erg(SQLHSTMT st, ErgParams& p, int base = 0) {
    const auto n = [&](int k) { return static_cast<SQLUSMALLINT>(base + k); };
    bool ok = db_ok(bind_int(st, n(1), &p.id, &p.ind[1])) && db_ok(bind_int(st, n(2), &p.iz, &p.ind[2])) &&
              db_ok(bind_text(st, n(3), p.kensys, sizeof p.kensys, &p.ind[3])) &&
              db_ok(bind_int(st, n(4), &p.ord, &p.ind[4]));
    for (int m = 0; m < 12 && ok; ++m) ok = db_ok(bind_real(st, n(5 + m), &p.d[m], &p.ind[5 + m]));
    ok = ok && db_ok(bind_text(st, n(17), p.profil, sizeof p.profil, &p.ind[17]));
    for (int m = 0; m < 4 && ok; ++m) ok = db_ok(bind_real(st, n(18 + m), &p.d[12 + m], &p.ind[18 + m]));
    return ok && db_ok(bind_text(st, n(22), p.bemerk, sizeof p.bemerk, &p.ind[22])) &&
           db_ok(bind_real(st, n(23), &p.d[16], &p.ind[23]));
}

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

// Writes the rows of element i to the CSV file and keeps them for the table;
// `who` names the element's member in a failure text.
void write_rows(RunContext& ctx, ErgWriter& w, int i, const char* who) {
    int k = 0;
    for (ErgRow& r : erg_rows(ctx, i, w.k)) {
        ++w.id;
        w.isys = i;
        w.row = std::move(r);
        o_csv(w, 1);
        w.rows.push_back({w.id, i, ++k, who, w.row});
    }
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
        if (w.csv) {
            if (!finish_file(*w.ctx, *w.csv)) w.csvFailed = true;
            w.csv.reset();
        }
        return;
    }
    if (mode != 1 || w.csvFailed || !w.ctx) return;
    if (!w.csv) {
        w.csv = std::make_unique<support::AtomicFile>(w.csvFile);
        if (!w.csv->is_open()) {
            finish_file(*w.ctx, *w.csv);
            w.csv.reset();
            w.csvFailed = true;
            return;
        }
        w.csv->out() << (w.groups ? kCsvHeaderGroups : kCsvHeader) << '\n';
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
    field(cnum(r.Freibord, 3));
    w.csv->out() << l << '\n';
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
    if (hve > kTiny && hve < v * v * 0.5f * kInvGravity)
        checks::report(ctx, "W50", e.bez_lang.empty() ? e.bez : e.bez_lang);
    if (ctx.failed()) return;
    write_rows(ctx, w, i, "DB_ERG_OUTWAN");
}

void db_erg_outauf(RunContext& ctx, ErgWriter& w, int i) {
    division_critical_warning(ctx, i);
    if (ctx.failed()) return;
    write_rows(ctx, w, i, "DB_ERG_OUTAUF");
}

namespace {

// The first diagnostic text of a handle: the driver's own reason.
std::string driver_reason(SQLSMALLINT type, SQLHANDLE h) {
    SQLCHAR state[6] = {};
    SQLCHAR msg[513] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT len = 0;
    if (!h || !db_ok(SQLGetDiagRec(type, h, 1, state, &native, msg, sizeof msg, &len))) return {};
    return support::trim(reinterpret_cast<char*>(msg));
}

// A lock held by another connection: the store may succeed when tried again.
bool is_lock(const std::string& reason) {
    const std::string r = support::upper(reason);
    return support::contains(r, "LOCKED") || support::contains(r, "BUSY");
}

// The results of one run on one connection of the results database.
class ResultsSession {
public:
    ResultsSession(RunContext& ctx, std::string variant) : ctx_(ctx), variant_(std::move(variant)) {}
    ~ResultsSession() { close(false); }

    // The status text of the failure, "" while everything went well.
    const std::string& failure() const { return failure_; }
    const std::string& reason() const { return reason_; }
    const std::string& table() const { return table_; }
    bool locked() const { return is_lock(reason_); }

    bool open(const std::string& file) {
        std::string st;
        input::db_open(ctx_, file, st, {}, "out_tbl_Berechnungsuebersicht");
        if (st != "ok") return fail("Berechnungsuebersicht", st, SQL_HANDLE_DBC, input::db_connection(ctx_));
        open_ = true;
        if (!input::db_writable(ctx_, st, "out_tbl_Berechnungsuebersicht"))
            return fail("Berechnungsuebersicht", st.substr(st.find("): ") + 3), SQL_HANDLE_DBC,
                        SQL_NULL_HANDLE);
        SQLHDBC dbc = input::db_connection(ctx_);
        // Each statement waits a quarter of a second for a lock (the
        // connection's timeout); the caller repeats the whole store and says that it waits.
        SQLUSMALLINT tc = SQL_TC_NONE;
        tx_ = db_ok(SQLGetInfo(dbc, SQL_TXN_CAPABLE, &tc, sizeof tc, nullptr)) && tc == SQL_TC_ALL &&
              db_ok(SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT,
                                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
        return true;
    }

    // The variant's row of the overview: the old one deleted, the new one inserted.
    bool overview() {
        const std::string who = "out_tbl_Berechnungsuebersicht";
        const std::string t = "Berechnungsuebersicht";
        Stmt del(ctx_);
        std::string key = support::rtrim(variant_);
        SQLLEN ind = SQL_NTS;
        if (!del.prepare("DELETE FROM Berechnungsuebersicht WHERE Variante = ?") ||
            !db_ok(SQLBindParameter(del.h, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, key.size() + 1, 0,
                                    key.data(), static_cast<SQLLEN>(key.size() + 1), &ind)))
            return fail(t, "Fehler(" + who + "): DB_row_delete_by_char", SQL_HANDLE_STMT, del.h);
        const SQLRETURN r = SQLExecute(del.h);
        if (!db_ok(r) && r != SQL_NO_DATA)
            return fail(t, "Fehler(" + who + "): DB_row_delete_by_char", SQL_HANDLE_STMT, del.h);
        hook("overview");
        Stmt ins(ctx_);
        if (!ins.prepare("INSERT INTO Berechnungsuebersicht (Variante,Datum,Beschreibung1,Beschreibung2,"
                         "Beschreibung3,Programmversion,Anh_Erg,Anh_Qve) VALUES (?       ,?    ,?            "
                         ",?            ,?            ,?              ,?      ,?      )"))
            return fail(t, "Fehler(" + who + "): f90SQLPrepare", SQL_HANDLE_STMT, ins.h);
        const BaseSettings& a = ctx_.plant.all;
        const std::string values[8] = {variant_,   a.datum,
                                       a.titel[1], a.titel[2],
                                       a.titel[3], ctx_.settings.programName + " " + ctx_.settings.version,
                                       a.AnhangERG, a.AnhangQVE};
        const size_t chars[8] = {200, 50, 100, 50, 50, 20, 20, 20};
        char buf[8][808];
        SQLLEN inds[8];
        bool ok = true;
        for (int k = 0; k < 8 && ok; ++k) {
            set_text(buf[k], sizeof buf[k], inds[k], values[k], chars[k]);
            ok = db_ok(bind_text(ins.h, k + 1, buf[k], sizeof buf[k], &inds[k]));
        }
        if (!ok || !db_ok(SQLExecute(ins.h)))
            return fail(t, "Fehler(" + who + "): f90SQLExecute", SQL_HANDLE_STMT, ins.h);
        return true;
    }

    // Replaces the table by an empty one with the given columns.
    bool replace(const std::string& table, const std::string& columns, const std::string& who) {
        if (exists(table) &&
            !exec("DROP TABLE " + input::db_ident(ctx_, table), table, "Fehler(" + who + "): DB_Drop_Table"))
            return false;
        return exec("CREATE TABLE " + input::db_ident(ctx_, table) + " " + columns, table,
                    "Fehler(" + who + "): DB_Create_Table");
    }

    bool erg(const std::vector<ErgRecord>& rows) {
        const std::string who = "out_tbl_erg";
        const std::string table = "ERG_" + support::rtrim(variant_);
        if (!replace(table, kErgColumns, who)) return false;
        // The SQLite driver compiles a statement again at every execution: an
        // SQLite results database takes 40 rows per statement (920 values,
        // below the 999 an SQLite statement holds), any other one row.
        const size_t per = ctx_.db.kind == input::DbKind::SQLite ? 40 : 1;
        std::vector<ErgParams> p(per);
        for (size_t first = 0; first < rows.size();) {
            const size_t n = std::min(per, rows.size() - first);
            Stmt st(ctx_);
            if (!st.prepare(erg_insert(input::db_ident(ctx_, table), n)))
                return fail(table, "Fehler(" + who + "): f90SQLPrepare", SQL_HANDLE_STMT, st.h);
            bool bound = true;
            for (size_t r = 0; r < n && bound; ++r) bound = bind_erg(st.h, p[r], static_cast<int>(23 * r));
            if (!bound) return fail(table, "Fehler(" + who + "): f90SQLBindParameter", SQL_HANDLE_STMT, st.h);
            // a statement of the same size serves every batch of that size
            while (rows.size() - first >= n) {
                for (size_t r = 0; r < n; ++r) fill_erg(rows[first + r], p[r]);
                if (!db_ok(SQLExecute(st.h))) {
                    const ErgRecord& rec = rows[first];
                    return fail(table,
                                std::string("Fehler(") + rec.who + "): f90SQLExecute(" + std::to_string(rec.k) + ")",
                                SQL_HANDLE_STMT, st.h);
                }
                first += n;
            }
        }
        return true;
    }

    // The values of one results row into its parameters.
    void fill_erg(const ErgRecord& rec, ErgParams& p) {
        if (rec.id == 2) hook("erg");
        const ErgRow& r = rec.row;
        p.id = rec.id;
        p.ind[1] = 0;
        p.iz = r.iz;
        p.ind[2] = 0;
        set_text(p.kensys, sizeof p.kensys, p.ind[3], ctx_.plant.el[rec.isys].bez, 20);
        p.ord = r.ord.value_or(0);
        p.ind[4] = r.ord ? 0 : SQL_NULL_DATA;
        const std::optional<float> vals[12] = {r.Q, r.L, r.Lges, r.B, r.z, r.hges,
                                               r.h, r.WSP, r.A, r.v, r.E, r.Tau};
        for (int m = 0; m < 12; ++m) set_real(p.d[m], p.ind[5 + m], vals[m]);
        set_text(p.profil, sizeof p.profil, p.ind[17], r.profil, 1);
        const std::optional<float> loss[4] = {r.HVK, r.HVE1, r.HVE2, r.HVU};
        for (int m = 0; m < 4; ++m) set_real(p.d[12 + m], p.ind[18 + m], loss[m]);
        set_text(p.bemerk, sizeof p.bemerk, p.ind[22], r.remarks(), 20);
        set_real(p.d[16], p.ind[23], r.Freibord);
    }

    bool qve() {
        const std::string who = "out_tbl_qve";
        const std::string table = "QVE_" + support::rtrim(variant_);
        hook("qve");
        if (!replace(table, kQveColumns, who)) return false;
        Stmt st(ctx_);
        if (!st.prepare("INSERT INTO " + input::db_ident(ctx_, table) +
                        " (ID,KENSYS,ORD,KENZA1,ORDZA1,Q_ZA1,P_ZA1,Z_ZA1,KENZA2,ORDZA2,Q_ZA2,P_ZA2,Z_ZA2) "
                        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"))
            return fail(table, "Fehler(" + who + "): f90SQLPrepare", SQL_HANDLE_STMT, st.h);
        SQLINTEGER id = 0, ord = 0, ordz[2] = {0, 0};
        char kensys[64], kenz[2][64];
        double q[2], pct[2], zeta[2];
        SQLLEN ind[14] = {};
        bool ok = db_ok(bind_int(st.h, 1, &id, &ind[1])) &&
                  db_ok(bind_text(st.h, 2, kensys, sizeof kensys, &ind[2])) &&
                  db_ok(bind_int(st.h, 3, &ord, &ind[3]));
        for (int j = 0; j < 2 && ok; ++j) {
            const int b = 4 + 5 * j;
            ok = db_ok(bind_text(st.h, b, kenz[j], sizeof kenz[j], &ind[b])) &&
                 db_ok(bind_int(st.h, b + 1, &ordz[j], &ind[b + 1])) &&
                 db_ok(bind_real(st.h, b + 2, &q[j], &ind[b + 2])) &&
                 db_ok(bind_real(st.h, b + 3, &pct[j], &ind[b + 3])) &&
                 db_ok(bind_real(st.h, b + 4, &zeta[j], &ind[b + 4]));
        }
        if (!ok) return fail(table, "Fehler(" + who + "): f90SQLBindParameter", SQL_HANDLE_STMT, st.h);
        const Plant& p = ctx_.plant;
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
                set_real(q[j - 1], ind[b + 2], branch_discharge(ctx_, i, j));
                set_real(pct[j - 1], ind[b + 3], branch_share(ctx_, i, j));
                float z = 0.0f;
                set_real(zeta[j - 1], ind[b + 4],
                         branch_zeta(ctx_, i, j, z) ? std::optional<float>(z) : std::nullopt);
            }
            if (!db_ok(SQLExecute(st.h)))
                return fail(table, "Fehler(" + who + "): f90SQLExecute", SQL_HANDLE_STMT, st.h);
        }
        return true;
    }

    // Commits (ok) or rolls back, and closes the connection.
    bool close(bool ok) {
        if (!open_) return ok;
        open_ = false;
        SQLHDBC dbc = input::db_connection(ctx_);
        if (tx_) {
            hook("commit");
            if (ok && !db_ok(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT)))
                ok = fail("ERG_" + support::rtrim(variant_), "Fehler(out_tbl_erg): f90SQLEndTran",
                          SQL_HANDLE_DBC, dbc);
            if (!ok) SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
            SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
        }
        input::db_close(ctx_);
        return ok;
    }

private:
    // A statement handle of the session's connection, freed at the end of its scope.
    struct Stmt {
        RunContext& ctx;
        SQLHSTMT h = SQL_NULL_HSTMT;
        explicit Stmt(RunContext& c) : ctx(c) {}
        ~Stmt() {
            if (h) SQLFreeHandle(SQL_HANDLE_STMT, h);
        }
        bool prepare(const std::string& sql) {
            return db_ok(SQLAllocHandle(SQL_HANDLE_STMT, input::db_connection(ctx), &h)) &&
                   db_ok(SQLPrepare(h, sqlc(sql), SQL_NTS));
        }
    };

    bool fail(const std::string& table, const std::string& text, SQLSMALLINT type, SQLHANDLE h) {
        if (!failure_.empty()) return false;
        table_ = table;
        failure_ = text;
        reason_ = driver_reason(type, h);
        if (reason_.empty() && text.rfind("Fehler(", 0) != 0) {
            // the database layer's own text (a missing file, no driver)
            reason_ = text;
            failure_ = "Fehler(out_tbl_Berechnungsuebersicht): DB_open";
        }
        std::string st = failure_;
        input::db_showdiags(ctx_, type, h, st);
        return false;
    }

    bool exec(const std::string& sql, const std::string& table, const std::string& text) {
        Stmt st(ctx_);
        if (!db_ok(SQLAllocHandle(SQL_HANDLE_STMT, input::db_connection(ctx_), &st.h)))
            return text.empty() || fail(table, text, SQL_HANDLE_DBC, input::db_connection(ctx_));
        const SQLRETURN r = SQLExecDirect(st.h, sqlc(sql), SQL_NTS);
        if (db_ok(r) || r == SQL_NO_DATA || text.empty()) return true;
        return fail(table, text, SQL_HANDLE_STMT, st.h);
    }

    // Whether the table exists, asked on the session's own connection.
    bool exists(const std::string& table) {
        Stmt st(ctx_);
        if (!db_ok(SQLAllocHandle(SQL_HANDLE_STMT, input::db_connection(ctx_), &st.h))) return true;
        std::string all = "%";
        if (!db_ok(SQLTables(st.h, nullptr, 0, nullptr, 0, sqlc(all), SQL_NTS, nullptr, 0))) return true;
        const std::string want = support::upper(table);
        std::string t;
        while (db_ok(SQLFetch(st.h)))
            if (input::db_get_text(st.h, 3, t) && support::upper(t) == want) return true;
        return false;
    }

    // A point of the store at which a test may kill the process (the
    // environment variable RIVOLA_TEST_KILL_AT names it), to prove that a
    // kill leaves all of the old or all of the new results.
    static void hook(const char* point) {
        const char* at = std::getenv("RIVOLA_TEST_KILL_AT");
        if (at && std::strcmp(at, point) == 0) std::raise(SIGKILL);
    }

    RunContext& ctx_;
    std::string variant_;
    bool open_ = false, tx_ = false;
    std::string failure_, reason_, table_;
};

bool store_once(const std::string& file, const std::vector<ErgRecord>& rows, ResultsSession& s) {
    const bool ok = s.open(file) && s.overview() && s.erg(rows) && s.qve();
    return s.close(ok);
}

}  // namespace

StoreFailure store_results(RunContext& ctx, const std::string& dbFile, const std::string& variant,
                           const std::vector<ErgRecord>& rows, std::string& status) {
    status = "ok";
    if (!support::file_exists(dbFile)) {
        status = missing_text(ctx, dbFile);
        return {"", "Fehler(out_tbl_Berechnungsuebersicht): DB_open",
                ctx.english() ? "the file does not exist" : "die Datei existiert nicht"};
    }
    using clock = std::chrono::steady_clock;
    const auto begin = clock::now();
    auto shown = begin;
    for (;;) {
        ResultsSession s(ctx, variant);
        if (store_once(dbFile, rows, s)) return {};
        const double waited = std::chrono::duration<double>(clock::now() - begin).count();
        if (!s.locked() || waited >= ctx.run.dbWait) {
            StoreFailure f{s.table(), s.failure(), s.reason()};
            if (s.locked() && ctx.run.dbWait > 0)
                f.reason += ctx.english() ? " (waited " + std::to_string(static_cast<int>(waited)) + " s)"
                                          : " (" + std::to_string(static_cast<int>(waited)) + " s gewartet)";
            status = f.step + ": " + f.reason;
            return f;
        }
        if (clock::now() - shown >= std::chrono::seconds(3) || shown == begin) {
            ui::screen_dlgedit(ctx, 90, 0, std::to_string(static_cast<int>(waited + 0.5)),
                               std::to_string(ctx.run.dbWait));
            shown = clock::now();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

// ---------------------------------------------------------------------------

std::string results_db_file(const RunContext& ctx) {
    if (!ctx.run.resultsDb.empty()) return ctx.run.resultsDb;
    return support::find_file_nocase(ctx.run.dbDir, "Rivola_8_Ergebnisse.MDB");
}

std::string variant_name(const RunContext& ctx) { return ctx.run.dbName; }

namespace {

// The rows of the run into the results database; a failure is recorded as a
// result not stored.
void store_run(RunContext& ctx, const std::vector<ErgRecord>& rows) {
    const std::string file = results_db_file(ctx);
    std::string st;
    std::unique_lock<std::mutex> one;  // the cases of a run store one after the other
    if (ctx.run.storeLock) one = std::unique_lock<std::mutex>(*ctx.run.storeLock);
    const StoreFailure f = store_results(ctx, file, variant_name(ctx), rows, st);
    ctx.run.resultsStatus = st;
    if (st != "ok") store_failed(ctx, f.table.empty() ? file : file + " (" + f.table + ")", f.step, f.reason);
}

}  // namespace

void write_erg_tables(RunContext& ctx) {
    if (ctx.failed()) return;
    ErgWriter w;
    start_writer(ctx, w);
    element_loop(ctx, w);
    o_csv(w, 9);
    if (ctx.failed()) return;
    if (ctx.run.deferStore) {
        ctx.run.pendingStore = [&ctx, rows = std::move(w.rows)]() { store_run(ctx, rows); };
        return;
    }
    store_run(ctx, w.rows);
}

void remove_stored_results(RunContext& ctx) {
    const std::string db = results_db_file(ctx), name = variant_name(ctx);
    if (db.empty() || !support::file_exists(db)) return;
    std::string st;
    for (const std::string& t : {"ERG_" + name, "QVE_" + name}) {
        if (!input::db_exists_table(ctx, db, t, st)) continue;
        input::db_drop_table(ctx, db, t, st);
        if (st == "ok") ui::screen_dlgedit(ctx, 92, 0, db + " (" + t + ")");
    }
    if (input::db_exists_table(ctx, db, "Berechnungsuebersicht", st))
        input::db_row_delete_by_char(ctx, db, "Berechnungsuebersicht", "Variante", name, st);
}

bool check_table_names(RunContext& ctx) {
    const std::string name = variant_name(ctx);
    const bool en = ctx.english();
    std::string why;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f) {
            why = en ? "a control character (code " + std::to_string(c) + ")"
                     : "ein Steuerzeichen (Code " + std::to_string(c) + ")";
            break;
        }
        if (std::strchr("'\"`[]$", c)) {
            why = std::string(en ? "the character " : "das Zeichen ") + static_cast<char>(c);
            break;
        }
    }
    if (why.empty() && !name.empty() && (name.front() == ' ' || name.back() == ' '))
        why = en ? "a leading or trailing blank" : "ein Leerzeichen am Anfang oder Ende";
    if (why.empty() && support::ulen(name) > 200)
        why = en ? std::to_string(support::ulen(name)) + " characters, more than 200"
                 : std::to_string(support::ulen(name)) + " Zeichen, mehr als 200";
    if (!why.empty()) {
        checks::fehler(ctx, "D03", name, (en ? "It holds " : "Er enthält ") + why + ".");
        ctx.run.ierr = 3;
        return false;
    }
    // Another variant whose tables would be the same without regard to case.
    const std::string file = results_db_file(ctx);
    std::string st;
    input::DbTable t;
    input::db_read_table(ctx, file, "Berechnungsuebersicht", "Variante", st, t);
    if (st != "ok") return true;   // the store itself will say what is wrong
    const std::string want = support::upper(name);
    for (int r = 1; r <= t.nrow; ++r) {
        const std::string other = support::rtrim(t.v[r][1]);
        if (other != name && support::upper(other) == want) {
            checks::fehler(ctx, "D04", name, other);
            ctx.run.ierr = 3;
            return false;
        }
    }
    return true;
}

}  // namespace rivola::output
