#include "database/m_db_input.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "database/m_database.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::input {

using support::rtrim;
using support::trim;
using support::ucut;

namespace {

SQLCHAR* sqlc(const std::string& s) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str()));
}

bool english(const RunContext& ctx) { return ctx.db.lang == "US"; }

const char* const kWhere = " WHERE geloescht=0 OR geloescht IS NULL";

// The 52 profile columns in the order of the GEO query, each with the place
// of its value in the GEO data: profile 0..3 = o1, u1, o2, u2; field 0 = invert,
// 1 = type, 2 = rise, 3.. = layer height / width pairs.
struct ProfileColumn {
    std::string name;
    int profile;
    char field;   // 'Z', 'T', 'S' (rise), 'H', 'B'
    int layer;
};

const std::vector<ProfileColumn>& profile_columns() {
    static const std::vector<ProfileColumn> cols = [] {
        std::vector<ProfileColumn> c;
        const char* ends[4][2] = {{"O", "o"}, {"U", "u"}, {"O", "o"}, {"U", "u"}};
        for (int p = 0; p < 4; ++p) {
            const std::string d = std::to_string(p / 2 + 1);
            const std::string up = ends[p][0], lo = ends[p][1];
            c.push_back({"Z" + up + d, p, 'Z', 0});
            c.push_back({lo + "T" + d, p, 'T', 0});
            c.push_back({lo + "HS" + d, p, 'S', 0});
            for (int k = 1; k <= 5; ++k) {
                c.push_back({lo + "H" + d + std::to_string(k), p, 'H', k});
                c.push_back({lo + "B" + d + std::to_string(k), p, 'B', k});
            }
        }
        return c;
    }();
    return cols;
}

GeoProfileInput& profile_of(GeoInput& g, int p) {
    switch (p) {
        case 0: return g.o1;
        case 1: return g.u1;
        case 2: return g.o2;
        default: return g.u2;
    }
}

// A row of a table as texts, columns 1.. (index 0 unused); none for NULL.
using MemRow = std::vector<std::optional<std::string>>;

// Reads the columns of the current row of a statement, with the NULL defaults
// and widths of the variant database. A text where a number belongs, or a
// number too large for the value it gives, is recorded with the column for
// the diagnostics.
class RowReader {
public:
    RowReader(SQLHSTMT h, const std::vector<std::string>& names) : h_(h), names_(names) {}
    // A row read before into memory (columns 1.., none for NULL).
    RowReader(const MemRow& row, const std::vector<std::string>& names) : row_(&row), names_(names) {}

    // Text cut to `width` characters and right-trimmed; `dflt` when NULL.
    std::string text(int col, size_t width, const std::string& dflt = {}) {
        std::string v;
        if (!get(col, v)) return dflt;
        return rtrim(ucut(v, width));
    }
    float real(int col, float dflt) {
        std::string v;
        if (!get(col, v)) return dflt;
        float x = dflt;
        const int r = parse_number(v, x);
        if (r == 0) return dflt;
        if (r < 0) {
            record(col, ucut(v, 60), r == -2);
            return dflt;
        }
        return x;
    }
    // Integer column held as a real (counts), truncated like an integer binding.
    float count(int col, float dflt) {
        const float x = real(col, dflt);
        if (x == dflt) return x;
        if (std::fabs(x) > 2.0e9f) {
            record(col, support::fmt_dyn(x, 3), true);
            return dflt;
        }
        return std::trunc(x);
    }
    bool bad() const { return !bad_.empty(); }
    // The diagnostic line of a bad value.
    std::string badText(const RunContext& ctx, const std::string& table,
                        const std::string& bez) const {
        const char* what = english(ctx)
                               ? (badRange_ ? " is out of range" : " is not a number")
                               : (badRange_ ? " liegt außerhalb des zulässigen Bereichs"
                                            : " ist keine Zahl");
        return table + (bez.empty() ? std::string() : ", bez=" + bez) + ", " + badColumn_ +
               ": \"" + bad_ + "\"" + what;
    }

private:
    bool get(int col, std::string& v) const {
        if (!row_) return db_get_text(h_, static_cast<SQLUSMALLINT>(col), v);
        const size_t c = static_cast<size_t>(col);
        if (c >= row_->size() || !(*row_)[c]) return false;
        v = *(*row_)[c];
        return true;
    }

    void record(int col, const std::string& value, bool range) {
        if (!bad_.empty()) return;     // the first bad value of the row is told
        badColumn_ = names_[static_cast<size_t>(col)];
        bad_ = value;
        badRange_ = range;
    }
    SQLHSTMT h_ = SQL_NULL_HSTMT;
    const MemRow* row_ = nullptr;
    const std::vector<std::string>& names_;
    std::string bad_, badColumn_;
    bool badRange_ = false;
};

// Column names of a SELECT list, 1-based, without a table alias.
std::vector<std::string> column_names(const std::vector<std::string>& list) {
    std::vector<std::string> n(1);
    for (const auto& c : list) n.push_back(c.rfind("h.", 0) == 0 ? c.substr(2) : c);
    return n;
}

std::string join(const std::vector<std::string>& cols) {
    std::string s;
    for (size_t i = 0; i < cols.size(); ++i) s += (i ? "," : "") + cols[i];
    return s;
}

// A statement on the open connection, freed when it goes out of scope.
struct Stmt {
    SQLHSTMT h = SQL_NULL_HSTMT;
    bool alloc(SQLHDBC dbc) { return dbc && db_ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h)); }
    ~Stmt() {
        if (h) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};

// The driver's own reason of a failure, without its "[driver]" label and its
// trailing error number, when it says that the file is damaged: SQLite tells
// a damaged page ("database disk image is malformed", error 11) and a file
// whose header is intact but whose content is none ("file is not a
// database", error 26). Empty when the failure has another cause.
std::string damage_reason(const RunContext& ctx, SQLSMALLINT type, SQLHANDLE h) {
    for (SQLSMALLINT rec = 1; h; ++rec) {
        SQLCHAR state[6] = {};
        SQLCHAR msg[513] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT len = 0;
        if (!db_ok(SQLGetDiagRec(type, h, rec, state, &native, msg, sizeof msg, &len))) break;
        std::string text = reinterpret_cast<char*>(msg);
        const std::string up = support::upper(text);
        const bool sqlite = ctx.db.kind == DbKind::SQLite && (native == 11 || native == 26);
        if (!sqlite && !support::contains(up, "MALFORMED") &&
            !support::contains(up, "NOT A DATABASE") && !support::contains(up, "CORRUPT"))
            continue;
        while (!text.empty() && text[0] == '[') {
            const size_t e = text.find(']');
            if (e == std::string::npos) break;
            text.erase(0, e + 1);
        }
        const size_t open = text.rfind(" (");
        if (open != std::string::npos && text.back() == ')' &&
            text.find_first_not_of("0123456789", open + 2) == text.size() - 1)
            text.erase(open);
        return trim(text);
    }
    return {};
}

std::string damaged_text(const RunContext& ctx, const std::string& reason) {
    return std::string(english(ctx) ? "the file is damaged" : "die Datei ist beschädigt") +
           (reason.empty() ? std::string() : " (" + reason + ")");
}

// After a failed call: a damaged file is told as such in the status.
void tell_damage(RunContext& ctx, const std::string& op, SQLSMALLINT type, SQLHANDLE h,
                 std::string& status) {
    const std::string why = damage_reason(ctx, type, h);
    if (!why.empty()) status = "Fehler(" + op + "): " + damaged_text(ctx, why);
}

// Opens the database, allocates a statement and runs the query; failures set
// the status to the reader's own texts ("Fehler(DB_xxx): ...").
bool run_query(RunContext& ctx, const std::string& path, const std::string& op,
               const std::string& sql, Stmt& st, std::string& status) {
    db_open(ctx, path, status, {}, op);
    if (status != "ok") return false;
    if (!st.alloc(db_connection(ctx))) {
        status = "Fehler(" + op + "): f90SQLAllocHandle";
        db_showdiags(ctx, SQL_HANDLE_DBC, db_connection(ctx), status);
        return false;
    }
    if (!db_ok(SQLExecDirect(st.h, sqlc(sql), SQL_NTS))) {
        status = "Fehler(" + op + "): f90SQLExecDirect";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        tell_damage(ctx, op, SQL_HANDLE_STMT, st.h, status);
        return false;
    }
    return true;
}

// The read-only MDBTools driver for Access files parses plain column lists
// only: no table alias, no WHERE that could hold NULLs, no ORDER BY, no closing
// ";". On it the reader selects plain columns and picks and orders the rows
// itself, by the same rules as the statements for the other drivers.
bool plain_driver(RunContext& ctx, const std::string& path) {
    std::string st;
    db_open(ctx, path, st, {}, "DB_open");
    const bool plain = st == "ok" && ctx.db.kind == DbKind::MDBTools;
    db_close(ctx);
    return plain;
}

std::string plain_name(const std::string& c) { return c.rfind("h.", 0) == 0 ? c.substr(2) : c; }

// The live elements of tbl_rvldaten in flow order, columns `cols`: rows whose
// geloescht is 0 or NULL, ordered by er (NULL first), rows of equal er in
// their stored order.
bool live_rows(RunContext& ctx, const std::string& path, const std::string& op,
               const std::vector<std::string>& cols, std::vector<MemRow>& rows, std::string& status) {
    std::vector<std::string> plain;
    for (const auto& c : cols) plain.push_back(plain_name(c));
    const size_t nc = plain.size();
    plain.push_back("er");
    plain.push_back("geloescht");
    rows.clear();
    struct Keyed {
        bool erNull;
        float er;
        MemRow row;
    };
    std::vector<Keyed> live;
    {
        Stmt st;
        if (run_query(ctx, path, op, "SELECT " + join(plain) + " FROM tbl_rvldaten", st, status)) {
            for (;;) {
                const SQLRETURN r = SQLFetch(st.h);
                if (r == SQL_NO_DATA) break;
                if (!db_ok(r)) {
                    status = "Fehler(" + op + "): f90SQLFetch";
                    db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                    tell_damage(ctx, op, SQL_HANDLE_STMT, st.h, status);
                    break;
                }
                std::string er, del;
                const bool hasEr = db_get_text(st.h, static_cast<SQLUSMALLINT>(nc + 1), er);
                float d = 0.0f, e = 0.0f;
                if (db_get_text(st.h, static_cast<SQLUSMALLINT>(nc + 2), del) &&
                    !(parse_number(del, d) == 1 && d == 0.0f))
                    continue;   // marked deleted
                MemRow row(nc + 1);
                for (size_t c = 1; c <= nc; ++c) {
                    std::string v;
                    if (db_get_text(st.h, static_cast<SQLUSMALLINT>(c), v)) row[c] = v;
                }
                const bool erOk = hasEr && parse_number(er, e) == 1;
                live.push_back({!erOk, erOk ? e : 0.0f, std::move(row)});
            }
        }
    }
    db_close(ctx);
    std::stable_sort(live.begin(), live.end(), [](const Keyed& a, const Keyed& b) {
        if (a.erNull != b.erNull) return a.erNull;
        return a.er < b.er;
    });
    for (auto& k : live) rows.push_back(std::move(k.row));
    return status == "ok";
}

// Indices of the records by name, for attaching GEO and HVE rows.
std::unordered_map<std::string, std::vector<int>> index_by_name(const DbRecords& rec, int n) {
    std::unordered_map<std::string, std::vector<int>> idx;
    for (int i = 1; i <= n && i < static_cast<int>(rec.size()); ++i) idx[rec[i].bez].push_back(i);
    return idx;
}

// The GEO or HVE fetch loop: every fetched row is attached to the records of its name.
template <class Attach>
void fetch_attach(RunContext& ctx, const std::string& path, const std::string& op,
                  const std::vector<std::string>& cols, const std::string& sql, int n,
                  DbRecords& rec, std::string& status, Attach attach) {
    status = "ok";
    const auto names = column_names(cols);
    const auto idx = index_by_name(rec, n);
    // one row: its data attached to the records of its name; false on a bad value
    auto take = [&](RowReader& rd) {
        const std::string bez = rd.text(1, 12);
        GeoInput geo;
        HveInput hve;
        attach(rd, geo, hve);
        if (rd.bad()) {
            status = "Fehler(DB_ein): " + rd.badText(ctx, "tbl_rvldaten", bez);
            db_diag_text(ctx, status, path);
            return false;
        }
        const auto it = idx.find(bez);
        if (it != idx.end())
            for (int i : it->second) {
                if (op == "DB_geo") rec[i].geo = geo;
                else rec[i].hve = hve;
            }
        return true;
    };
    if (plain_driver(ctx, path)) {
        std::vector<MemRow> rows;
        if (!live_rows(ctx, path, op, cols, rows, status)) return;
        for (const MemRow& row : rows) {
            RowReader rd(row, names);
            if (!take(rd)) break;
        }
        return;
    }
    {
        Stmt st;
        if (run_query(ctx, path, op, sql, st, status)) {
            for (;;) {
                const SQLRETURN r = SQLFetch(st.h);
                if (r == SQL_NO_DATA) break;
                if (!db_ok(r)) {
                    status = "Fehler(DB_ein): f90SQLFetch";
                    db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                    tell_damage(ctx, "DB_ein", SQL_HANDLE_STMT, st.h, status);
                    break;
                }
                RowReader rd(st.h, names);
                if (!take(rd)) break;
            }
        }
    }
    db_close(ctx);
}

void message(RunContext& ctx, const std::string& title, const std::string& text) {
    if (ctx.ui) ctx.ui->message(title, text);
}

// Stops the run after a failure of the reader: message box, error level 3.
void stop(RunContext& ctx, const std::string& title, const std::string& text) {
    message(ctx, title, text);
    ctx.run.ierr = 3;
}

// The cause that a status of the reader tells in words ("Fehler(DB_weg): tbl_rvldaten,
// bez=G1, Q: ..."); empty when it names no more than the failing call.
std::string cause_of(const std::string& status) {
    if (status.rfind("Fehler(", 0) != 0) return {};
    const size_t p = status.find("): ");
    if (p == std::string::npos) return {};
    const std::string rest = status.substr(p + 3);
    return rest.rfind("f90SQL", 0) == 0 ? std::string() : rest;
}

void stop_table(RunContext& ctx, const std::string& path, const char* table,
                const std::string& status) {
    const std::string cause = cause_of(status);
    const bool en = english(ctx);
    stop(ctx, "rivola_8 Abbruch",
         std::string(en ? "Error in database table " : "Fehler in Datenbank-Tabelle ") + path +
             "/" + table + (cause.empty() ? std::string() : ":\n" + cause) +
             (en ? "\nsee DB_Fehler.pkl" : "\nsiehe DB_Fehler.pkl"));
}

std::string dir_of(const std::string& path) {
    const size_t s = path.find_last_of('/');
    return s == std::string::npos ? std::string() : path.substr(0, s + 1);
}

std::string without_extension(const std::string& path) {
    const size_t s = path.find_last_of('/');
    const size_t d = path.find_last_of('.');
    if (d == std::string::npos || (s != std::string::npos && d < s) ||
        d == (s == std::string::npos ? 0 : s + 1))
        return path;
    return path.substr(0, d);
}

// Reads the element table of one database (variant or component); the
// failure boxes are shown here. False when the run must stop.
bool read_elements(RunContext& ctx, const std::string& path, std::string& status,
                   DbRecords& rec) {
    int n = 0;
    db_weg(ctx, path, status, n, rec);
    if (status == "ok") db_geo(ctx, path, status, n, rec);
    if (status == "ok") db_hve(ctx, path, status, n, rec);
    if (status != "ok") {
        stop_table(ctx, path, "tbl_rvldaten", status);
        return false;
    }
    return true;
}

// The last line of a text that is not blank.
std::string last_line(const std::string& text) {
    std::string last;
    size_t a = 0;
    while (a < text.size()) {
        size_t b = text.find('\n', a);
        if (b == std::string::npos) b = text.size();
        const std::string line = trim(text.substr(a, b - a));
        if (!line.empty()) last = line;
        a = b + 1;
    }
    return last;
}

// A file named as a variant (or as a component of one) must be a variant
// database before anything is read from it or written to it: not empty, of a
// database format, readable, and holding the tables tbl_all and tbl_rvldaten.
// Otherwise the run stops with a message box that names the file and says
// what is wrong with it; a file that is not there is told by db_open.
bool variant_database(RunContext& ctx, const std::string& path, std::string& status) {
    const bool en = english(ctx);
    const std::string file = db_file_of(path);
    const std::string shown = file.empty() ? path : file;
    const std::string notVariant =
        shown + (en ? ": not a variant database - " : ": keine Variantendatenbank - ");
    auto refuse = [&](const std::string& text) {
        status = "Fehler(DB_variante): " + text;
        db_diag_text(ctx, status, shown);
        stop(ctx, "Datenbankfehler", text + ctx.db.abortText);
        return false;
    };
    const DbFileFormat fmt = file.empty() ? DbFileFormat::Other : db_file_format(file);
    if (!file.empty() && fmt == DbFileFormat::Empty)
        return refuse(notVariant +
                      (en ? "the file is empty (0 bytes)" : "die Datei ist leer (0 Byte)"));
    if (!file.empty() && fmt == DbFileFormat::Unreadable) {
        const std::string why = std::strerror(errno);
        return refuse(shown +
                      (en ? ": the file cannot be read (" : ": die Datei kann nicht gelesen werden (") +
                      why + ")");
    }
    db_open(ctx, path, status, {}, "DB_variante");
    if (status != "ok") {
        db_close(ctx);
        if (!file.empty() && fmt == DbFileFormat::Other)
            return refuse(notVariant + (en ? "neither an SQLite nor an Access database, or the "
                                             "file is damaged"
                                           : "weder eine SQLite- noch eine Access-Datenbank, "
                                             "oder die Datei ist beschädigt"));
        stop(ctx, "Datenbankfehler", rtrim(status) + ctx.db.abortText);
        return false;
    }
    // An SQLite file is opened without reading it; the listing of its tables
    // would pass over a damaged file as one without tables. Its pages are
    // checked first (a variant database is small).
    std::string damage;
    if (ctx.db.kind == DbKind::SQLite) {
        Stmt st;
        std::string check = "PRAGMA quick_check";
        std::string first;
        if (st.alloc(db_connection(ctx))) {
            if (!db_ok(SQLExecDirect(st.h, sqlc(check), SQL_NTS)) || !db_ok(SQLFetch(st.h)) ||
                !db_get_text(st.h, 1, first)) {
                status = "Fehler(DB_variante): f90SQLExecDirect";
                db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                damage = damage_reason(ctx, SQL_HANDLE_STMT, st.h);
            } else if (support::upper(trim(first)) != "OK") {
                damage = trim(first);
                db_diag_text(ctx, "Fehler(DB_variante): PRAGMA quick_check", damage);
            }
        }
    }
    // The tables of the file; a driver that cannot list them leaves the
    // question to the reading itself.
    std::vector<std::string> tables;
    bool listed = false;
    if (damage.empty() && status == "ok") {
        const SQLHDBC dbc = db_connection(ctx);
        SQLUSMALLINT supported = SQL_FALSE;
        Stmt st;
        std::string all = "%";
        if (db_ok(SQLGetFunctions(dbc, SQL_API_SQLTABLES, &supported)) && supported &&
            st.alloc(dbc)) {
            if (db_ok(SQLTables(st.h, nullptr, 0, nullptr, 0, sqlc(all), SQL_NTS, nullptr, 0))) {
                listed = true;
                for (std::string t;;) {
                    const SQLRETURN r = SQLFetch(st.h);
                    if (r == SQL_NO_DATA) break;
                    if (!db_ok(r)) {
                        listed = false;
                        break;
                    }
                    if (db_get_text(st.h, 3, t)) tables.push_back(support::upper(trim(t)));
                }
            }
            if (!listed) {
                status = "Fehler(DB_variante): f90SQLTables";
                db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                damage = damage_reason(ctx, SQL_HANDLE_STMT, st.h);
            }
        }
    }
    db_close(ctx);
    if (!damage.empty()) return refuse(shown + ": " + damaged_text(ctx, damage));
    if (status != "ok") {
        stop(ctx, "Datenbankfehler", rtrim(status) + ctx.db.abortText);
        return false;
    }
    // The MDBTools library tells damaged pages only on its console: a file
    // of Access format whose tables cannot be read is said to be damaged.
    const std::string driverSaid = last_line(ctx.db.driverText);
    if (fmt == DbFileFormat::Jet && !driverSaid.empty() && (!listed || tables.empty()))
        return refuse(shown + (en ? ": the Access file is damaged or incomplete (MDBTools: "
                                  : ": die Access-Datei ist beschädigt oder unvollständig (MDBTools: ") +
                      driverSaid + ")");
    if (!listed) return true;
    std::string missing;
    for (const char* want : {"tbl_all", "tbl_rvldaten"}) {
        if (std::find(tables.begin(), tables.end(), support::upper(want)) != tables.end()) continue;
        missing += std::string(missing.empty() ? "" : ", ") +
                   (en ? "no table " : "keine Tabelle ") + want;
    }
    if (!missing.empty()) return refuse(notVariant + missing);
    return true;
}

bool update(RunContext& ctx, const std::string& path, std::string& status) {
    db_update(ctx, path, status);
    if (status == "ok") return true;
    stop(ctx, "Datenbankfehler", rtrim(status) + ctx.db.abortText);
    return false;
}

}  // namespace

std::string component_file(const std::string& variant, const std::string& name) {
    return without_extension(variant) + "_" + name + ".mdb";
}

int parse_number(const std::string& text, float& v) {
    std::string s = trim(text);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == '\t')) s.pop_back();
    if (s.empty()) return 0;
    if (s[0] == '+') s.erase(0, 1);
    // a decimal comma, as some drivers give numbers under a German locale
    if (s.find('.') == std::string::npos) {
        const size_t c = s.find(',');
        if (c != std::string::npos && s.find(',', c + 1) == std::string::npos) s[c] = '.';
    }
    float x = 0.0f;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
    if (p != s.data() + s.size()) return -1;
    // a number beyond single precision, or an infinity, is a number out of range
    if (ec == std::errc::result_out_of_range) return -2;
    if (ec != std::errc() || std::isnan(x)) return -1;
    if (std::isinf(x)) return -2;
    v = x;
    return 1;
}

std::string date_text(const std::string& value) {
    const std::string s = trim(value);
    int d = 0, m = 0, y = 0;
    char tail = 0;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) >= 3 ||
        std::sscanf(s.c_str(), "%2d.%2d.%4d%c", &d, &m, &y, &tail) >= 3) {
        if (d >= 1 && m >= 1 && y >= 1 && d <= 31 && m <= 12 && y <= 9999) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, m, y);
            return buf;
        }
    }
    return {};
}

void db_update(RunContext& ctx, const std::string& path, std::string& status) {
    // an Access file opened through the read-only driver is never written: a
    // missing date is taken as empty
    status = "ok";
    if (plain_driver(ctx, path)) return;
    db_append_column(ctx, path, "tbl_all", "datum", "Date", status);
}

// The freeboard the plant must keep, from the optional column Freibord of
// tbl_all on the open connection; kMissing when the variant has no such
// column, no row or NULL.
float read_freibord(RunContext& ctx, const std::string& path, std::string& status) {
    if (!db_exists_column(ctx, "tbl_all", "Freibord")) return kMissing;
    Stmt st;
    if (!st.alloc(db_connection(ctx)) ||
        !db_ok(SQLExecDirect(st.h, sqlc(std::string("SELECT Freibord FROM tbl_all")), SQL_NTS))) {
        status = "Fehler(DB_all): f90SQLExecDirect";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        return kMissing;
    }
    if (!db_ok(SQLFetch(st.h))) return kMissing;
    const auto names = column_names({"Freibord"});
    RowReader rd(st.h, names);
    const float f = rd.real(1, kMissing);
    if (rd.bad()) {
        status = "Fehler(DB_all): " + rd.badText(ctx, "tbl_all", {});
        db_diag_text(ctx, status, path);
    }
    return f;
}

void db_all(RunContext& ctx, const std::string& path, std::string& status) {
    static const std::vector<std::string> cols = {
        "Titel", "Vmin", "Vmax", "Bmin", "Bmax", "Hmin", "Hmax", "Lmax", "DIFFmax",
        "Zeilen", "Bezug", "Wasserstand", "Q_ls", "AnhangERG", "AnhangERK", "AnhangQVE", "datum"};
    status = "ok";
    const bool plain = plain_driver(ctx, path);
    bool dated = true;
    if (plain) {
        db_open(ctx, path, status, {}, "DB_all");
        if (status != "ok") return;
        dated = db_exists_column(ctx, "tbl_all", "datum");
        db_close(ctx);
    }
    {
        Stmt st;
        const std::vector<std::string> read(cols.begin(), dated ? cols.end() : cols.end() - 1);
        const std::string sql = "SELECT " + join(read) + " FROM tbl_all" + (plain ? "" : ";");
        if (run_query(ctx, path, "DB_all", sql, st, status)) {
            BaseSettings a;                 // NULL gives the defaults of the model
            a.datum.clear();
            int zeilen = 60;
            const SQLRETURN r = SQLFetch(st.h);
            if (r != SQL_NO_DATA && !db_ok(r)) {
                status = "Fehler(DB_all): f90SQLFetch";
                db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                tell_damage(ctx, "DB_all", SQL_HANDLE_STMT, st.h, status);
            } else if (r != SQL_NO_DATA) {  // no row: the defaults stand
                const auto names = column_names(cols);
                RowReader rd(st.h, names);
                const std::string titel = rd.text(1, 199);
                a.Vmin = rd.real(2, kMissing);
                a.Vmax = rd.real(3, 999999.0f);
                a.Bmin = rd.real(4, kMissing);
                a.Bmax = rd.real(5, 999999.0f);
                a.Hmin = rd.real(6, kMissing);
                a.Hmax = rd.real(7, 999999.0f);
                a.Lmax = rd.real(8, 999999.0f);
                a.DIFFmax = rd.real(9, 10.0f);
                zeilen = static_cast<int>(rd.count(10, 60.0f));
                a.Bezug = rd.real(11, 0.0f);
                a.Wasserstand = rd.real(12, kMissing);
                a.Q_ls = rd.text(13, 1, "J");
                a.AnhangERG = rd.text(14, 19);
                a.AnhangERK = rd.text(15, 19);
                a.AnhangQVE = rd.text(16, 19);
                if (dated) a.datum = date_text(rd.text(17, 40));
                // title: up to three lines, each left-adjusted and cut to 40 characters
                size_t b = 0;
                for (int line = 1; line <= 3 && b <= titel.size(); ++line) {
                    const size_t e = titel.find('\n', b);
                    const std::string t =
                        titel.substr(b, e == std::string::npos ? std::string::npos : e - b);
                    a.titel[line] = rtrim(ucut(support::ltrim(rtrim(t)), 40));
                    if (e == std::string::npos) break;
                    b = e + 1;
                }
                if (rd.bad()) {
                    status = "Fehler(DB_all): " + rd.badText(ctx, "tbl_all", {});
                    db_diag_text(ctx, status, path);
                }
            }
            if (status == "ok") {
                if (zeilen < 61) zeilen = 60;
                if (a.Bezug < 0.0f) a.Bezug = 0.0f;
                a.Freibord = read_freibord(ctx, path, status);
                ctx.plant.all = a;
                ctx.plant.Zeilen = zeilen;
            }
        }
    }
    db_close(ctx);
}

void db_weg(RunContext& ctx, const std::string& path, std::string& status, int& n,
            DbRecords& rec) {
    static const std::vector<std::string> cols = {
        "id", "er", "sr", "bez", "zulauf1", "zulauf2", "ablauf1", "ablauf2", "beschreibung", "Q",
        "plotweg", "tz", "np", "out_erk", "out_tau", "aufteilung1", "aufteilung2"};
    rec.assign(1, DbRecord{});
    const bool plain = plain_driver(ctx, path);
    std::vector<MemRow> rows;
    if (plain) {
        if (!live_rows(ctx, path, "DB_weg", cols, rows, status)) return;
        n = static_cast<int>(rows.size());
    } else {
        db_table_n_row(ctx, path, std::string("SELECT h.BEZ FROM tbl_rvldaten h") + kWhere, n, status);
        if (status != "ok") return;
    }
    if (n == 0) {
        // a variant without elements cannot be computed; say so here, where the
        // table is known, rather than through later consequential errors
        status = english(ctx) ? "Fehler(DB_weg): tbl_rvldaten holds no elements"
                              : "Fehler(DB_weg): tbl_rvldaten enthält keine Elemente";
        db_diag_text(ctx, status, path);
        return;
    }
    if (n > kMaxRecords) {
        status = "Fehler(DB_weg): f90SQLFetch";
        db_diag_text(ctx, status,
                     path + ": " + std::to_string(n) +
                         (english(ctx) ? " rows, more than " : " Zeilen, mehr als ") +
                         std::to_string(kMaxRecords));
        n = 0;
        return;
    }
    rec.reserve(static_cast<size_t>(n) + 1);
    const auto names = column_names(cols);
    // one element's row; false on a bad value
    auto take = [&](RowReader& rd) {
        DbRecord d;
        rd.real(1, 0.0f);           // id, er, sr: read, not kept
        rd.real(2, 0.0f);
        rd.real(3, 0.0f);
        d.bez = rd.text(4, 12);
        d.zulauf1 = rd.text(5, 12);
        d.zulauf2 = rd.text(6, 12);
        d.ablauf1 = rd.text(7, 12);
        d.ablauf2 = rd.text(8, 12);
        d.beschreibung = rd.text(9, 26);
        d.Q = rd.real(10, kMissing);
        d.plotweg = rd.text(11, 1);
        d.tz = rd.text(12, 1, "N");
        d.np = rd.text(13, 1);
        d.out_erk = rd.text(14, 1, "N");
        d.out_tau = rd.text(15, 1, "N");
        d.aufteilung1 = rd.real(16, kMissing);
        d.aufteilung2 = rd.real(17, kMissing);
        if (rd.bad()) {
            status = "Fehler(DB_weg): " + rd.badText(ctx, "tbl_rvldaten", d.bez);
            db_diag_text(ctx, status, path);
            return false;
        }
        rec.push_back(std::move(d));
        return true;
    };
    if (plain) {
        for (const MemRow& row : rows) {
            RowReader rd(row, names);
            if (!take(rd)) break;
        }
    } else {
        Stmt st;
        const std::string sql = "SELECT " + join(cols) + " FROM tbl_rvldaten" + kWhere +
                                " ORDER BY ER";
        if (run_query(ctx, path, "DB_weg", sql, st, status)) {
            while (static_cast<int>(rec.size()) <= n) {
                const SQLRETURN r = SQLFetch(st.h);
                if (r == SQL_NO_DATA) break;
                if (!db_ok(r)) {
                    status = "Fehler(DB_weg): f90SQLFetch";
                    db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                    tell_damage(ctx, "DB_weg", SQL_HANDLE_STMT, st.h, status);
                    break;
                }
                RowReader rd(st.h, names);
                if (!take(rd)) break;
            }
        }
    }
    db_close(ctx);
    n = static_cast<int>(rec.size()) - 1;
}

void db_geo(RunContext& ctx, const std::string& path, std::string& status, int n,
            DbRecords& rec) {
    std::vector<std::string> cols = {"h.bez", "h.GEO_L", "h.GEO_K", "h.GEO_C", "h.GEO_C2"};
    for (const auto& c : profile_columns()) cols.push_back("h.GEO_" + c.name);
    const std::string sql = "SELECT " + join(cols) +
                            " FROM tbl_rvldaten h WHERE h.geloescht=0 OR h.geloescht IS NULL "
                            "order by h.ER;";
    fetch_attach(ctx, path, "DB_geo", cols, sql, n, rec, status,
                 [](RowReader& rd, GeoInput& g, HveInput&) {
                     g.L = rd.real(2, kMissing);
                     g.K = rd.real(3, kMissing);
                     g.C = rd.real(4, kMissing);
                     g.C2 = rd.real(5, kMissing);
                     int col = 6;
                     for (const auto& c : profile_columns()) {
                         GeoProfileInput& p = profile_of(g, c.profile);
                         switch (c.field) {
                             case 'Z': p.Z = rd.real(col, kMissing); break;
                             case 'T': p.T = rd.text(col, 1); break;
                             case 'S': p.HS = rd.real(col, kMissing); break;
                             case 'H': p.H[c.layer] = rd.real(col, kMissing); break;
                             default: p.B[c.layer] = rd.real(col, kMissing); break;
                         }
                         ++col;
                     }
                 });
}

void db_hve(RunContext& ctx, const std::string& path, std::string& status, int n,
            DbRecords& rec) {
    static const std::vector<std::string> cols = {
        "h.bez", "h.HVE_HVE", "h.HVE_zeta1", "h.HVE_zeta2", "h.HVE_zeta3", "h.HVE_zeta4",
        "h.HVE_zeta5", "h.HVE_zeta6", "h.HVE_zeta1_2", "h.HVE_zeta2_2", "h.HVE_zeta3_2",
        "h.HVE_zeta4_2", "h.HVE_zeta5_2", "h.HVE_zeta6_2", "h.HVE_mue", "h.HVE_n_c", "h.HVE_T",
        "h.HVE_H", "h.HVE_BU", "h.HVE_BO", "h.HVE_N", "h.HVE_A"};
    const std::string sql = "SELECT " + join(cols) +
                            " FROM tbl_rvldaten h WHERE h.geloescht=0 OR h.geloescht IS NULL "
                            "order by h.ER;";
    fetch_attach(ctx, path, "DB_hve", cols, sql, n, rec, status,
                 [](RowReader& rd, GeoInput&, HveInput& h) {
                     h.HVE = rd.real(2, kMissing);
                     for (int k = 1; k <= 6; ++k) h.zeta1[k] = rd.real(2 + k, kMissing);
                     for (int k = 1; k <= 6; ++k) h.zeta2[k] = rd.real(8 + k, kMissing);
                     h.mue = rd.real(15, kMissing);
                     h.n_c = rd.real(16, kMissing);
                     h.T = rd.text(17, 1);
                     h.H = rd.real(18, kMissing);
                     h.BU = rd.real(19, kMissing);
                     h.BO = rd.real(20, kMissing);
                     h.N = rd.count(21, kMissingN);
                     h.A = rd.real(22, kMissing);
                 });
}

// The explanation lines of the single losses (HVE_ERLAEUTER1..6) of the
// elements `isys` read from the source database `file`, for the input echo.
void read_explanations(RunContext& ctx, const std::string& file, const std::vector<int>& isys) {
    // Only the explanation columns the database has: an older variant has none.
    std::string status;
    db_open(ctx, file, status, {}, "DB_erl");
    if (status != "ok") return;
    std::string columns = "bez,geloescht";
    std::vector<int> slot;
    for (int k = 1; k <= 6; ++k) {
        const std::string c = "HVE_ERLAEUTER" + std::to_string(k);
        if (!db_exists_column(ctx, "tbl_rvldaten", c)) continue;
        columns += "," + c;
        slot.push_back(k);
    }
    db_close(ctx);
    if (slot.empty()) return;
    DbTable t;
    db_read_table(ctx, file, "tbl_rvldaten", columns, status, t);
    if (status != "ok" || t.ncol < 2 + static_cast<int>(slot.size())) return;
    // The explanations belong to the elements of that source with the same
    // name; a deleted row explains nothing.
    std::unordered_map<std::string, std::vector<int>> byName;
    for (int i : isys)
        if (i >= 1 && i <= ctx.plant.nsys) byName[ctx.plant.el[i].bez].push_back(i);
    for (int r = 1; r <= t.nrow; ++r) {
        const std::string del = trim(t.v[r][2]);
        if (!t.isNull[r][2] && !del.empty() && std::atof(del.c_str()) != 0.0) continue;
        const auto it = byName.find(rtrim(t.v[r][1]));
        if (it == byName.end()) continue;
        for (int i : it->second)
            for (size_t m = 0; m < slot.size(); ++m)
                ctx.plant.el[i].hve.erlaeuter[slot[m]] = rtrim(t.v[r][3 + static_cast<int>(m)]);
    }
}

void s2weg(RunContext& ctx, int isys, const DbRecord& r) {
    Element& e = ctx.plant.el[static_cast<size_t>(isys)];
    e.bez = r.bez;
    e.zulauf1 = r.zulauf1;
    e.zulauf2 = r.zulauf2;
    e.ablauf1 = r.ablauf1;
    e.ablauf2 = r.ablauf2;
    e.beschreibung = r.beschreibung;
    e.Q = r.Q;
    e.plotweg = r.plotweg;
    e.tz = r.tz.empty() ? ' ' : r.tz[0];
    e.out_erk = r.out_erk.empty() ? ' ' : r.out_erk[0];
    e.out_tau = r.out_tau.empty() ? ' ' : r.out_tau[0];
    e.aufteilung1 = r.aufteilung1;
    e.aufteilung2 = r.aufteilung2;
    const char np = r.np.empty() ? ' ' : r.np[0];
    e.plotflag = (np == 'Y' || np == 'J' || np == 'y' || np == 'j') ? 'N' : 'Y';
    e.geo = r.geo;
    e.hve = r.hve;
}

void inmdb(RunContext& ctx, const std::string& path, std::string& status) {
    status = "ok";
    if (ctx.run.ierr >= 2) return;
    Plant& plant = ctx.plant;
    const std::string dir = dir_of(path);

    // the variant database
    if (!variant_database(ctx, path, status) || !update(ctx, path, status)) return;
    std::FILE* bg = std::fopen((dir + "#BG.pkl").c_str(), "w");
    if (bg) std::fprintf(bg, "#  %s\n", path.c_str());
    auto closeLogs = [&] {
        if (bg) std::fclose(bg);
        bg = nullptr;
    };
    db_all(ctx, path, status);
    if (status != "ok") {
        closeLogs();
        stop_table(ctx, path, "tbl_all", status);
        return;
    }
    DbRecords variant;
    if (!read_elements(ctx, path, status, variant)) {
        closeLogs();
        return;
    }

    // entries: one element, or all elements of a component database
    struct Entry {
        int component = 0;           // 0 = an element of the variant, k = k-th component
        DbRecords rec;               // 1..n
    };
    std::vector<Entry> entries;
    SourceTable sources;
    sources.src.push_back({path, ucut(path, 50), {}});
    for (size_t i = 1; i < variant.size(); ++i) {
        Entry en;
        if (variant[i].bez.rfind("C_", 0) == 0) {
            en.component = static_cast<int>(sources.src.size());
            const std::string label = trim(variant[i].bez);
            sources.src.push_back({component_file(path, label), label, {}});
        } else {
            en.rec.assign(1, DbRecord{});
            en.rec.push_back(std::move(variant[i]));
        }
        entries.push_back(std::move(en));
    }
    variant.clear();

    // the component databases
    for (Entry& en : entries) {
        if (en.component == 0) continue;
        const std::string& file = sources.src[static_cast<size_t>(en.component)].name;
        if (bg) std::fprintf(bg, "#  %s\n", file.c_str());
        if (!variant_database(ctx, file, status) || !update(ctx, file, status) ||
            !read_elements(ctx, file, status, en.rec)) {
            closeLogs();
            return;
        }
        if (bg) {
            std::fprintf(bg, "   %s:", sources.src[static_cast<size_t>(en.component)].label.c_str());
            for (size_t k = 1; k < en.rec.size(); ++k) std::fprintf(bg, " %s", en.rec[k].bez.c_str());
            std::fprintf(bg, "\n");
        }
    }

    // numbering of the elements
    int nsys = 0;
    for (const Entry& en : entries) nsys += static_cast<int>(en.rec.size()) - 1;
    plant.resize(nsys);
    const bool components = sources.hasComponents();
    int isys = 0;
    for (const Entry& en : entries) {
        Source& src = sources.src[static_cast<size_t>(en.component)];
        for (size_t k = 1; k < en.rec.size(); ++k) {
            ++isys;
            s2weg(ctx, isys, en.rec[k]);
            Element& e = plant.el[static_cast<size_t>(isys)];
            e.source = en.component;
            e.bez_lang = components ? rtrim(ucut(src.label + "/" + e.bez, 62)) : e.bez;
            src.isys.push_back(isys);
        }
    }
    plant.sources = std::move(sources);
    for (const Source& s : plant.sources.src) read_explanations(ctx, s.name, s.isys);

    std::FILE* lg = std::fopen((dir + "#Logik.pkl").c_str(), "w");
    if (lg) {
        std::fprintf(lg, "#  %s\n", path.c_str());
        for (int i = 1; i <= nsys; ++i) {
            const Element& e = plant.el[static_cast<size_t>(i)];
            std::fprintf(lg, "%6d  %-12s  %3d  %s\n", i, e.bez.c_str(), e.source,
                         e.bez_lang.c_str());
        }
        std::fclose(lg);
    }
    closeLogs();
}

}  // namespace rivola::input
