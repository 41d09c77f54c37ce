#include "database/m_database.h"

#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>

#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::input {

using support::contains;
using support::rtrim;
using support::trim;
using support::upper;

namespace {

constexpr const char* kSqliteDriver = "SQLite3";
// Where Debian-like systems put the SQLite ODBC driver when it is installed
// but not registered with unixODBC: the multiarch folder of any architecture,
// or the plain library folders.
constexpr const char* kSqliteLibraryPatterns[] = {"/usr/lib/*/odbc/libsqlite3odbc.so",
                                                  "/usr/lib/odbc/libsqlite3odbc.so",
                                                  "/usr/lib64/odbc/libsqlite3odbc.so",
                                                  "/usr/local/lib/odbc/libsqlite3odbc.so"};

// The first installed SQLite driver library of the patterns above; empty when none.
std::string sqlite_library() {
    for (const char* pattern : kSqliteLibraryPatterns) {
        glob_t g{};
        std::string hit;
        if (::glob(pattern, 0, nullptr, &g) == 0 && g.gl_pathc > 0) hit = g.gl_pathv[0];
        ::globfree(&g);
        if (!hit.empty()) return hit;
    }
    return {};
}
constexpr const char* kAccessDriver = "Microsoft Access Driver (*.mdb)";
constexpr const char* kMdbToolsDriver = "MDBTools";

SQLCHAR* sqlc(const std::string& s) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str()));
}

bool english(const RunContext& ctx) { return ctx.db.lang == "US"; }
const char* tr(const RunContext& ctx, const char* de, const char* en) {
    return english(ctx) ? en : de;
}

// Directory (with its trailing '/'), file name and extension (with its point).
void split_path(const std::string& p, std::string& dir, std::string& file, std::string& ext) {
    const size_t slash = p.find_last_of('/');
    dir = slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
    file = slash == std::string::npos ? p : p.substr(slash + 1);
    const size_t dot = file.find_last_of('.');
    ext = (dot == std::string::npos || dot == 0) ? std::string() : file.substr(dot);
}

// A file that nobody may write by its permission bits counts as read-only,
// also for a user whom the system would let write it anyway.
bool file_read_only(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::access(path.c_str(), W_OK) != 0;
}

bool driver_registered(SQLHENV env, const std::string& want) {
    SQLCHAR desc[512], attr[1024];
    SQLSMALLINT ld = 0, la = 0;
    SQLUSMALLINT dir = SQL_FETCH_FIRST;
    const std::string w = upper(want);
    while (db_ok(SQLDrivers(env, dir, desc, sizeof desc, &ld, attr, sizeof attr, &la))) {
        if (upper(reinterpret_cast<char*>(desc)) == w) return true;
        dir = SQL_FETCH_NEXT;
    }
    return false;
}

// The connection string of an SQLite file. `create`: the driver may create
// the file; otherwise a missing file is a failure, never a new empty database.
std::string sqlite_connection(SQLHENV env, const std::string& path, bool& found,
                              bool create = false) {
    found = true;
    // A database that another program holds locked is given up after a
    // quarter of a second; the writer of the results tries again up to its own limit and
    // says so on the screen log, instead of the driver waiting silently.
    const std::string opts = std::string(create ? ";" : ";NoCreat=1;") + "Timeout=250;";
    if (driver_registered(env, kSqliteDriver))
        return std::string("Driver={") + kSqliteDriver + "};Database=" + path + opts;
    static const std::string library = sqlite_library();
    if (!library.empty()) return "Driver=" + library + ";Database=" + path + opts;
    found = false;
    return {};
}

// The MDBTools library writes its complaints about a file (damaged pages,
// statements it cannot parse) to the process's standard error instead of its
// diagnostic records. While such a connection is open, standard error goes
// to a scratch file; what the driver wrote is kept for the messages and the
// diagnostics file instead of reaching the user's screen.
// Standard error is one per process: runs in parallel threads (flow cases)
// take their turns with such connections.
std::mutex& console_lock() {
    static std::mutex m;
    return m;
}

void console_begin(DbState& s) {
    console_lock().lock();
    std::fflush(stderr);
    std::FILE* f = std::tmpfile();
    const int saved = f ? ::dup(2) : -1;
    if (!f || saved < 0 || ::dup2(::fileno(f), 2) < 0) {
        if (saved >= 0) ::close(saved);
        if (f) std::fclose(f);
        console_lock().unlock();
        return;
    }
    s.savedStderr = saved;
    s.console = f;
    s.consoleRead = 0;
}

// Takes what the driver has written since the last call into driverText.
void console_collect(DbState& s) {
    if (!s.console) return;
    std::fflush(stderr);
    const int fd = ::fileno(static_cast<std::FILE*>(s.console));
    char buf[4096];
    for (;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, s.consoleRead);
        if (n <= 0) break;
        s.driverText.append(buf, static_cast<size_t>(n));
        s.consoleRead += n;
    }
}

void console_end(DbState& s) {
    if (!s.console) return;
    console_collect(s);
    ::dup2(s.savedStderr, 2);
    ::close(s.savedStderr);
    std::fclose(static_cast<std::FILE*>(s.console));
    s.console = nullptr;
    s.savedStderr = -1;
    console_lock().unlock();
}

void free_handles(DbState& s) {
    console_end(s);
    if (s.hstmt) SQLFreeHandle(SQL_HANDLE_STMT, s.hstmt);
    if (s.hdbc) SQLFreeHandle(SQL_HANDLE_DBC, s.hdbc);
    if (s.henv) SQLFreeHandle(SQL_HANDLE_ENV, s.henv);
    s.hstmt = s.hdbc = s.henv = nullptr;
}

std::FILE* open_diag(RunContext& ctx);

// Writes to the diagnostics what the driver printed and was not reported yet.
void report_driver_text(RunContext& ctx, std::FILE* f) {
    DbState& s = ctx.db;
    console_collect(s);
    if (s.driverReported >= s.driverText.size()) return;
    std::FILE* own = f ? nullptr : open_diag(ctx);
    std::FILE* out = f ? f : own;
    if (!out) return;
    if (own) std::fprintf(out, "%s\n", s.name.c_str());
    std::fprintf(out, "  %s\n", tr(ctx, "Meldung des Treibers MDBTools:", "message of the MDBTools driver:"));
    const std::string text = s.driverText.substr(s.driverReported);
    size_t a = 0;
    while (a < text.size()) {
        size_t b = text.find('\n', a);
        if (b == std::string::npos) b = text.size();
        const std::string line = rtrim(text.substr(a, b - a));
        if (!line.empty()) std::fprintf(out, "    %s\n", line.c_str());
        a = b + 1;
    }
    s.driverReported = s.driverText.size();
    if (own) std::fclose(own);
}

// Does a diagnostic record carry the accepted state? The SQLite driver reports
// every statement failure as "HY000"; an existing or a missing table is told
// there by the message text.
bool state_accepted(const DbState& s, const std::string& state, const std::string& msg,
                    const std::string& accepted) {
    if (accepted.empty()) return false;
    if (contains(state, accepted)) return true;
    if (s.kind != DbKind::SQLite) return false;
    if (accepted == "42S01") return contains(msg, "already exists");
    if (accepted == "42S02") return contains(msg, "no such table");
    return false;
}

std::FILE* open_diag(RunContext& ctx) {
    std::FILE* f = std::fopen(ctx.db.diagFile.c_str(), ctx.db.diagOpened ? "a" : "w");
    if (f) ctx.db.diagOpened = true;
    return f;
}

// A statement handle freed when it goes out of scope.
struct Stmt {
    SQLHSTMT h = SQL_NULL_HSTMT;
    SQLRETURN alloc(SQLHDBC dbc) {
        if (!dbc) return SQL_INVALID_HANDLE;
        return SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h);
    }
    ~Stmt() {
        if (h) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};

}  // namespace

DbState::~DbState() {
    if (hdbc) SQLDisconnect(hdbc);
    free_handles(*this);
}

void db_init_language(RunContext& ctx, const std::string& code) {
    if (upper(trim(code)) == "US") {
        ctx.db.lang = "US";
        ctx.db.abortText = "\nsee: DB_Fehler.pkl\nabort!";
    } else {
        ctx.db.lang = "DE";
        ctx.db.abortText = "\nsiehe: DB_Fehler.pkl\nAbbruch!";
    }
}

SQLHDBC db_connection(const RunContext& ctx) { return ctx.db.hdbc; }

void db_showdiags(RunContext& ctx, SQLSMALLINT handleType, SQLHANDLE handle, std::string& status,
                  const std::string& accepted) {
    std::FILE* f = nullptr;
    for (SQLSMALLINT rec = 1;; ++rec) {
        SQLCHAR state[6] = {};
        SQLCHAR msg[513] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT len = 0;
        const bool got =
            handle && db_ok(SQLGetDiagRec(handleType, handle, rec, state, &native, msg,
                                          sizeof msg, &len));
        const std::string st = got ? reinterpret_cast<char*>(state) : "";
        const std::string text = got ? reinterpret_cast<char*>(msg) : "";
        if (got && state_accepted(ctx.db, st, text, accepted)) {
            status = accepted;
            continue;
        }
        if (!got && rec > 1) break;
        if (!f) f = open_diag(ctx);
        if (f) {
            std::fprintf(f, "%s\n", rtrim(status).c_str());
            if (got) {
                std::fprintf(f, "  SQLSTATE=%s  native=%ld\n", st.c_str(),
                             static_cast<long>(native));
                std::fprintf(f, "  %s\n", text.c_str());
            }
            // a driver without a state has said what is wrong on its console
            if (!got || trim(st).empty()) report_driver_text(ctx, f);
        }
        if (!got) break;
    }
    if (f) std::fclose(f);
}

namespace {

// The identifier quote of the open connection; empty when the driver has none.
std::string ident_quote(const RunContext& ctx) {
    char q[8] = {};
    SQLSMALLINT len = 0;
    if (!ctx.db.hdbc || !db_ok(SQLGetInfo(ctx.db.hdbc, SQL_IDENTIFIER_QUOTE_CHAR, q, sizeof q, &len)) ||
        q[0] == ' ')
        return {};
    return q;
}

std::string quoted(const std::string& quote, const std::string& name) {
    if (quote.empty()) return name;
    std::string out = quote;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, quote.size(), quote) == 0) out += quote;
        out += name[i];
    }
    return out + quote;
}

}  // namespace

std::string db_ident(const RunContext& ctx, const std::string& name) { return quoted(ident_quote(ctx), name); }

void db_diag_text(RunContext& ctx, const std::string& status, const std::string& text) {
    std::FILE* f = open_diag(ctx);
    if (!f) return;
    std::fprintf(f, "%s\n  %s\n", rtrim(status).c_str(), text.c_str());
    std::fclose(f);
}

DbFileFormat db_file_format(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return DbFileFormat::Unreadable;
    char head[32] = {};
    f.read(head, sizeof head);
    const std::streamsize got = f.gcount();
    if (got == 0) return DbFileFormat::Empty;
    if (got >= 16 && std::memcmp(head, "SQLite format 3", 16) == 0) return DbFileFormat::SQLite;
    if (got >= 19 && (std::memcmp(head + 4, "Standard Jet DB", 15) == 0 ||
                      std::memcmp(head + 4, "Standard ACE DB", 15) == 0))
        return DbFileFormat::Jet;
    return DbFileFormat::Other;
}

std::string db_file_of(const std::string& name0) {
    std::string name = trim(name0);
    const std::string uname = upper(name);
    if (uname.rfind("DSN=", 0) == 0 || uname.rfind("WINDBF32", 0) == 0) return {};
    std::string dir, file, ext;
    split_path(name, dir, file, ext);
    if (ext.empty()) file += ".mdb";
    const std::string path = support::find_file_nocase(dir, file);
    return support::file_exists(path) ? path : std::string();
}

void db_open(RunContext& ctx, const std::string& name0, std::string& status,
             const std::string& password, const std::string& caller) {
    DbState& s = ctx.db;
    if (s.hdbc || s.henv) db_close(ctx);   // a connection left open is closed first
    status = "ok";
    std::string name = trim(name0);
    const std::string pwd = trim(password);
    s.caller = caller.empty() ? std::string("unknown") : trim(caller).substr(0, 50);
    s.exists = 0;
    s.readOnly = false;
    s.kind = DbKind::None;
    s.driverText.clear();
    s.driverReported = 0;

    // What is to be opened, and through which connection string.
    const std::string uname = upper(name);
    std::string path;            // the existing file (found without regard to case)
    DbFileFormat fmt = DbFileFormat::Other;
    const bool dsn = uname.rfind("DSN=", 0) == 0;
    const bool winDbf = uname.rfind("WINDBF32", 0) == 0;
    if (!dsn && !winDbf) {
        std::string dir, file, ext;
        split_path(name, dir, file, ext);
        if (ext.empty()) {
            name += ".mdb";
            file += ".mdb";
        }
        path = support::find_file_nocase(dir, file);
        if (!support::file_exists(path)) {
            s.name = name;
            status = english(ctx) ? "Database " + name + " does not exist!"
                                  : "Die Datenbank " + name + " existiert nicht!";
            return;
        }
        fmt = db_file_format(path);
    }
    s.name = name.substr(0, 500);

    if (!db_ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &s.henv))) {
        status = "Fehler(DB_open): f90SQLAllocHandle";
        db_showdiags(ctx, SQL_HANDLE_ENV, s.henv, status);
        free_handles(s);
        return;
    }
    if (!db_ok(SQLSetEnvAttr(s.henv, SQL_ATTR_ODBC_VERSION,
                             reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        status = "Fehler(DB_open): f90SQLSetEnvAttr";
        db_showdiags(ctx, SQL_HANDLE_ENV, s.henv, status);
        free_handles(s);
        return;
    }
    if (!db_ok(SQLAllocHandle(SQL_HANDLE_DBC, s.henv, &s.hdbc))) {
        status = "Fehler(DB_open): f90SQLAllocHandle";
        db_showdiags(ctx, SQL_HANDLE_ENV, s.henv, status);
        free_handles(s);
        return;
    }

    std::string conn;
    std::string missing;         // explanation when no driver can open the file
    if (dsn) {
        s.kind = DbKind::DataSource;
        conn = name;
        if (!pwd.empty() && !contains(uname, "PWD=")) conn += ";PWD=" + pwd;
    } else if (winDbf || contains(uname, ".DBF")) {
        s.kind = winDbf ? DbKind::DataSource : DbKind::DBase;
        conn = "DSN=dBASE-Dateien;DriverId=533;MaxBufferSize=2048;PageTimeout=5;";
    } else if (contains(uname, ".XLS")) {
        s.kind = DbKind::Excel;
        conn = "DBQ=" + path + ";DRIVER={Microsoft Excel Driver (*.xls)};";
    } else if (fmt == DbFileFormat::SQLite || fmt == DbFileFormat::Empty) {
        s.kind = DbKind::SQLite;
        bool found = false;
        conn = sqlite_connection(s.henv, path, found);
        if (!found)
            missing = tr(ctx, "kein ODBC-Treiber \"SQLite3\" installiert (Paket libsqliteodbc)",
                         "no ODBC driver \"SQLite3\" installed (package libsqliteodbc)");
    } else if (fmt == DbFileFormat::Jet || driver_registered(s.henv, kAccessDriver)) {
        if (driver_registered(s.henv, kAccessDriver)) {
            s.kind = DbKind::Access;
            if (pwd.empty())
                conn = "DBQ=" + path + ";Driver={" + kAccessDriver + "};" +
                       "DriverId=281;FIL=MS Access;" + "MaxBufferSize=2048;MaxScanRows=8;" +
                       "PageTimeout=5;SafeTransactions=0;Threads=3;UID=admin;" +
                       "PWD=;UserCommitSync=Yes;";
            else
                conn = "DBQ=" + path + ";DRIVER={" + kAccessDriver + "};PWD=" + pwd;
        } else if (driver_registered(s.henv, kMdbToolsDriver)) {
            s.kind = DbKind::MDBTools;
            s.readOnly = true;
            // the file under both keywords that Access drivers read it from
            conn = "DBQ=" + path + ";Database=" + path + ";Driver={" + kMdbToolsDriver + "};";
        } else {
            missing = tr(ctx,
                         "Access-Datei, aber kein ODBC-Treiber \"Microsoft Access Driver "
                         "(*.mdb)\" oder \"MDBTools\" (Paket odbc-mdbtools) installiert",
                         "Access file, but no ODBC driver \"Microsoft Access Driver (*.mdb)\" "
                         "or \"MDBTools\" (package odbc-mdbtools) installed");
        }
    } else {
        missing = std::string(tr(ctx, "keine Datenbankdatei (weder SQLite noch Access): ",
                                 "not a database file (neither SQLite nor Access): ")) +
                  path;
    }
    // A ';' would end the file name inside the connection string and let the
    // driver open another file than the one named.
    if (missing.empty() && !dsn && !winDbf && path.find(';') != std::string::npos)
        missing = std::string(tr(ctx, "Dateiname mit \";\" ist nicht zulässig: ",
                                 "a file name with \";\" is not allowed: ")) +
                  path;
    if (!missing.empty()) {
        status = "Fehler(DB_open): f90SQLDriverConnect: " + missing;
        db_diag_text(ctx, status, name);
        free_handles(s);
        return;
    }
    if (s.kind == DbKind::SQLite) s.readOnly = file_read_only(path);

    if (s.kind == DbKind::MDBTools) console_begin(s);
    SQLCHAR out[2001] = {};
    SQLSMALLINT outLen = 0;
    const SQLRETURN r = SQLDriverConnect(s.hdbc, nullptr, sqlc(conn), SQL_NTS, out,
                                         sizeof out - 1, &outLen, SQL_DRIVER_COMPLETE);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO) {
        status = "Fehler(DB_open): f90SQLDriverConnect";
        db_showdiags(ctx, SQL_HANDLE_DBC, s.hdbc, status);
        free_handles(s);
        return;
    }
    s.exists = 1;
    // A file that may not be written is not written: the SQLite driver would
    // otherwise write it whenever the user is allowed to.
    if (s.kind == DbKind::SQLite && s.readOnly) {
        std::string st = "ok";
        db_exec(ctx, "PRAGMA query_only = 1", st, "Fehler(DB_open): f90SQLExecDirect");
    }
}

void db_close(RunContext& ctx, std::string& status) {
    DbState& s = ctx.db;
    status = "ok";
    if (!s.exists || !s.hdbc) {
        free_handles(s);
        s.exists = 0;
        return;
    }
    if (s.hstmt) {
        SQLFreeHandle(SQL_HANDLE_STMT, s.hstmt);
        s.hstmt = nullptr;
    }
    SQLRETURN r = SQLDisconnect(s.hdbc);
    if (r == SQL_ERROR) {
        // An open transaction keeps the connection: roll it back, then disconnect.
        SQLEndTran(SQL_HANDLE_DBC, s.hdbc, SQL_ROLLBACK);
        r = SQLDisconnect(s.hdbc);
    }
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO) {
        status = "Fehler(DB_close): f90SQLDisconnect";
        db_showdiags(ctx, SQL_HANDLE_DBC, s.hdbc, status);
    }
    if (!db_ok(SQLFreeHandle(SQL_HANDLE_DBC, s.hdbc))) {
        status = "Fehler(DB_close): f90SQLFreeHandle";
        db_showdiags(ctx, SQL_HANDLE_DBC, s.hdbc, status);
    }
    s.hdbc = nullptr;
    console_end(s);
    if (s.driverReported < s.driverText.size()) report_driver_text(ctx, nullptr);
    if (!db_ok(SQLFreeHandle(SQL_HANDLE_ENV, s.henv))) {
        status = "Fehler(DB_close): f90SQLFreeHandle";
        db_showdiags(ctx, SQL_HANDLE_ENV, s.henv, status);
    }
    s.henv = nullptr;
    s.exists = 0;
}

void db_close(RunContext& ctx) {
    std::string st;
    db_close(ctx, st);
}

void db_exec(RunContext& ctx, const std::string& sql, std::string& status,
             const std::string& failText) {
    Stmt st;
    if (!db_ok(st.alloc(ctx.db.hdbc))) {
        status = failText;
        db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
        return;
    }
    const SQLRETURN r = SQLExecDirect(st.h, sqlc(rtrim(sql)), SQL_NTS);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO && r != SQL_NO_DATA) {
        status = failText;
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
    }
}

bool db_get_text(SQLHSTMT stmt, SQLUSMALLINT col, std::string& out) {
    out.clear();
    char buf[2048];
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN r = SQLGetData(stmt, col, SQL_C_CHAR, buf, sizeof buf, &ind);
        if (r == SQL_NO_DATA) return true;
        if (!db_ok(r)) return !out.empty();
        if (ind == SQL_NULL_DATA) return false;
        if (r == SQL_SUCCESS) {
            out.append(buf, ind >= 0 && ind < static_cast<SQLLEN>(sizeof buf)
                                ? static_cast<size_t>(ind)
                                : std::strlen(buf));
            return true;
        }
        // truncated: the buffer is full up to its terminating zero
        const size_t got = std::strlen(buf);
        out.append(buf, got);
        if (got == 0) return true;
    }
}

bool db_writable(RunContext& ctx, std::string& status, const std::string& op) {
    if (ctx.db.kind != DbKind::MDBTools) return true;
    status = "Fehler(" + op + "): " + ctx.db.name +
             tr(ctx,
                ": Access-Datei, mit dem Treiber MDBTools nur lesbar - nicht geschrieben "
                "(rivola-db convert macht daraus eine SQLite-Datei)",
                ": Access file, read-only through the MDBTools driver - not written "
                "(rivola-db convert makes an SQLite file of it)");
    db_diag_text(ctx, status, ctx.db.name);
    return false;
}

void db_create_table(RunContext& ctx, const std::string& name, const std::string& table,
                     const std::string& columns, std::string& status,
                     const std::string& password) {
    db_open(ctx, name, status, password, "DB_Create_Table");
    if (status != "ok") return;
    if (!db_writable(ctx, status, "DB_Create_Table")) return db_close(ctx);
    Stmt st;
    if (!db_ok(st.alloc(ctx.db.hdbc))) {
        status = "Fehler(DB_Create_Table): f90SQLAllocHandle";
        db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
    } else {
        const std::string sql = "CREATE TABLE " + db_ident(ctx, trim(table)) + " " + trim(columns);
        const SQLRETURN r = SQLExecDirect(st.h, sqlc(sql), SQL_NTS);
        if (!db_ok(r)) {
            status = "Fehler(DB_Create_Table): f90SQLExecDirect";
            db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status, "42S01");
        }
    }
    SQLFreeHandle(SQL_HANDLE_STMT, st.h);
    st.h = SQL_NULL_HSTMT;
    db_close(ctx);
}

void db_show_tables(RunContext& ctx, const std::string& name, std::string& list,
                    std::string& status, const std::string& password) {
    list.clear();
    db_open(ctx, name, status, password, "DB_show_tables");
    if (status != "ok") return;
    SQLUSMALLINT supported = SQL_FALSE;
    if (!db_ok(SQLGetFunctions(ctx.db.hdbc, SQL_API_SQLTABLES, &supported)) || !supported) {
        status = tr(ctx, "DB_show_tables wird nicht unterstützt", "DB_show_tables was not supported");
        db_close(ctx);
        return;
    }
    {
        Stmt st;
        SQLRETURN r = st.alloc(ctx.db.hdbc);
        if (!db_ok(r)) {
            status = "Fehler(DB_show_tables): f90SQLAllocHandle";
            db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
        } else {
            std::string all = "%";
            r = SQLTables(st.h, nullptr, 0, nullptr, 0, sqlc(all), SQL_NTS, nullptr, 0);
            if (!db_ok(r)) {
                status = "Fehler(DB_show_tables): f90SQLTables";
                db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
            } else {
                list = "Tabellenverzeichnis: " + ctx.db.name;
                std::string t;
                while (db_ok(SQLFetch(st.h)))
                    if (db_get_text(st.h, 3, t)) list += "\r\n" + t;
            }
        }
    }
    db_close(ctx);
}

int db_exists_table(RunContext& ctx, const std::string& name, const std::string& table,
                    std::string& status, const std::string& password) {
    const std::string want = upper(trim(table));
    std::string list;
    db_show_tables(ctx, name, list, status, password);
    if (status != "ok") return 0;
    for (char& c : list) {
        if (c == '\n') c = '$';
        else if (c == '\r') c = ' ';
    }
    size_t b = 0;
    for (;;) {
        const size_t e = list.find('$', b);
        const std::string entry = list.substr(b, e == std::string::npos ? std::string::npos : e - b);
        if (upper(trim(entry)) == want) return 1;
        if (e == std::string::npos) break;
        b = e + 1;
    }
    return 0;
}

void db_drop_table(RunContext& ctx, const std::string& name, const std::string& table,
                   std::string& status, const std::string& password) {
    status = "ok";
    if (!db_exists_table(ctx, name, table, status, password)) return;  // nothing to drop
    db_open(ctx, name, status, password, "DB_Drop_Table");
    if (status != "ok") return;
    if (!db_writable(ctx, status, "DB_Drop_Table")) return db_close(ctx);
    {
        Stmt st;
        if (!db_ok(st.alloc(ctx.db.hdbc))) {
            status = "Fehler(DB_Drop_Table): f90SQLAllocHandle";
            db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
        } else {
            const std::string sql = "DROP TABLE " + db_ident(ctx, trim(table)) + ";";
            const SQLRETURN r = SQLExecDirect(st.h, sqlc(sql), SQL_NTS);
            if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO && r != SQL_NO_DATA) {
                status = "Fehler(DB_Drop_Table): f90SQLExecDirect";
                db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status, "42S02");
                if (status == "42S02") status = "ok";
            }
        }
    }
    db_close(ctx);
}

void db_table_n_row(RunContext& ctx, const std::string& name, const std::string& sql, int& n,
                    std::string& status, const std::string& password) {
    n = 0;
    db_open(ctx, name, status, password, "DB_table_n_row");
    if (status != "ok") return;
    {
        Stmt st;
        if (!db_ok(st.alloc(ctx.db.hdbc))) {
            status = "Fehler(DB_table_n_row): f90SQLAllocHandle";
            db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
        } else if (!db_ok(SQLExecDirect(st.h, sqlc(trim(sql)), SQL_NTS))) {
            status = "Fehler(DB_table_n_row): f90SQLExecDirect";
            db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        } else {
            while (db_ok(SQLFetch(st.h))) ++n;
        }
    }
    db_close(ctx);
}

namespace {

// Positioned delete through a keyset-driven cursor, fetching 10 rows a block.
void delete_by_keyset(RunContext& ctx, const std::string& table, const std::string& column,
                      const std::string& key15, std::string& status) {
    Stmt st;
    if (!db_ok(st.alloc(ctx.db.hdbc))) {
        status = "Fehler(DB_row_delete_by_char): f90SQLAllocHandle";
        db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
        return;
    }
    struct Row {
        char v[16];
        SQLLEN ind;
    };
    constexpr SQLULEN kBlock = 10;
    Row rows[kBlock] = {};
    SQLUSMALLINT rowStatus[kBlock] = {};
    SQLULEN fetched = 0;
    SQLSetStmtAttr(st.h, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(sizeof(Row)), 0);
    SQLSetStmtAttr(st.h, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0);
    SQLSetStmtAttr(st.h, SQL_ATTR_ROW_STATUS_PTR, rowStatus, 0);
    SQLSetStmtAttr(st.h, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    SQLSetStmtAttr(st.h, SQL_ATTR_CURSOR_TYPE,
                   reinterpret_cast<SQLPOINTER>(SQL_CURSOR_KEYSET_DRIVEN), 0);
    SQLSetStmtAttr(st.h, SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_LOCK), 0);
    SQLBindCol(st.h, 1, SQL_C_CHAR, rows[0].v, sizeof rows[0].v, &rows[0].ind);
    const std::string sql = "SELECT " + db_ident(ctx, column) + " FROM " + db_ident(ctx, table);
    if (!db_ok(SQLExecDirect(st.h, sqlc(sql), SQL_NTS))) {
        status = "Fehler(DB_bwk): f90SQLExecDirect";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        return;
    }
    for (;;) {
        const SQLRETURN r = SQLFetchScroll(st.h, SQL_FETCH_NEXT, 0);
        if (!db_ok(r)) break;
        for (SQLULEN i = 0; i < fetched && i < kBlock; ++i) {
            if (rowStatus[i] != SQL_ROW_SUCCESS && rowStatus[i] != SQL_ROW_SUCCESS_WITH_INFO)
                continue;
            if (rows[i].ind == SQL_NULL_DATA) continue;
            if (support::pad(rtrim(rows[i].v), 15) != key15) continue;
            if (!db_ok(SQLSetPos(st.h, static_cast<SQLSETPOSIROW>(i + 1), SQL_DELETE,
                                 SQL_LOCK_NO_CHANGE))) {
                status = "Fehler(DB_row_delete_by_char): f90SQLSetPos";
                db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                return;
            }
        }
    }
}

// The same as a plain DELETE for drivers without positioned updates. The key
// is compared over its full length: a key cut to a fixed width would also hit
// rows of other variants whose names merely begin alike.
void delete_by_sql(RunContext& ctx, const std::string& table, const std::string& column,
                   const std::string& key, std::string& status) {
    Stmt st;
    if (!db_ok(st.alloc(ctx.db.hdbc))) {
        status = "Fehler(DB_row_delete_by_char): f90SQLAllocHandle";
        db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
        return;
    }
    // the table and column must be there, as for the cursor
    const std::string select = "SELECT " + db_ident(ctx, column) + " FROM " + db_ident(ctx, table);
    if (!db_ok(SQLExecDirect(st.h, sqlc(select), SQL_NTS))) {
        status = "Fehler(DB_bwk): f90SQLExecDirect";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        return;
    }
    SQLFreeStmt(st.h, SQL_CLOSE);
    const std::string sql =
        "DELETE FROM " + db_ident(ctx, table) + " WHERE RTRIM(" + db_ident(ctx, column) + ") = ?";
    if (!db_ok(SQLPrepare(st.h, sqlc(sql), SQL_NTS))) {
        status = "Fehler(DB_row_delete_by_char): f90SQLSetPos";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        return;
    }
    std::string value = key;
    SQLLEN ind = static_cast<SQLLEN>(value.size());
    SQLBindParameter(st.h, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                     value.size() + 1, 0, value.data(), static_cast<SQLLEN>(value.size() + 1),
                     &ind);
    const SQLRETURN r = SQLExecute(st.h);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO && r != SQL_NO_DATA) {
        status = "Fehler(DB_row_delete_by_char): f90SQLSetPos";
        db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
    }
}

}  // namespace

void db_row_delete_by_char(RunContext& ctx, const std::string& name, const std::string& table,
                           const std::string& column, const std::string& value,
                           std::string& status, const std::string& password) {
    db_open(ctx, name, status, password, "DB_row_delete_by_char");
    if (status != "ok") return;
    if (!db_writable(ctx, status, "DB_row_delete_by_char")) return db_close(ctx);
    const std::string t = trim(table), c = trim(column), key = rtrim(value);
    if (ctx.db.kind == DbKind::SQLite)
        delete_by_sql(ctx, t, c, key, status);
    else
        delete_by_keyset(ctx, t, c, support::pad(key, 15), status);
    db_close(ctx);
}

int db_exists_column(RunContext& ctx, const std::string& table, const std::string& column) {
    SQLUSMALLINT supported = SQL_FALSE;
    if (!ctx.db.hdbc ||
        !db_ok(SQLGetFunctions(ctx.db.hdbc, SQL_API_SQLCOLUMNS, &supported)) || !supported)
        return 0;
    Stmt st;
    if (!db_ok(st.alloc(ctx.db.hdbc))) return 0;
    std::string t = trim(table);
    if (!db_ok(SQLColumns(st.h, nullptr, 0, nullptr, 0, sqlc(t), SQL_NTS, nullptr, 0))) return 0;
    const std::string wantT = upper(t), wantC = upper(trim(column));
    std::string tn, cn;
    while (db_ok(SQLFetch(st.h))) {
        db_get_text(st.h, 3, tn);
        db_get_text(st.h, 4, cn);
        if (upper(trim(tn)) == wantT && upper(trim(cn)) == wantC) return 1;
    }
    return 0;
}

void db_append_column(RunContext& ctx, const std::string& name, const std::string& table,
                      const std::string& column, const std::string& type, std::string& status,
                      const std::string& password) {
    db_open(ctx, name, status, password, "DB_append_column");
    if (status != "ok") return;
    const std::string t = trim(table), c = trim(column);
    if (!db_exists_column(ctx, t, c) && db_writable(ctx, status, "DB_append_column")) {
        db_exec(ctx, "ALTER TABLE " + db_ident(ctx, t) + " ADD " + db_ident(ctx, c) + " " + trim(type), status,
                "Fehler(DB_append_column): f90SQLExecDirect DB=" + ctx.db.name + "  Table=" + t +
                    "  Column=" + c);
    }
    db_close(ctx);
}

void db_read_table(RunContext& ctx, const std::string& name, const std::string& table,
                   const std::string& columns, std::string& status, DbTable& out,
                   const std::string& password) {
    out = DbTable{};
    const std::string t = trim(table);
    // The table's columns and their SQL types.
    std::vector<std::string> allName;
    std::vector<int> allType;
    db_open(ctx, name, status, password, "DB_read_Table");
    if (status != "ok") return;
    {
        Stmt st;
        if (db_ok(st.alloc(ctx.db.hdbc)) &&
            db_ok(SQLColumns(st.h, nullptr, 0, nullptr, 0, sqlc(t), SQL_NTS, nullptr, 0))) {
            std::string tn, cn, ty;
            while (db_ok(SQLFetch(st.h))) {
                db_get_text(st.h, 3, tn);
                db_get_text(st.h, 4, cn);
                db_get_text(st.h, 5, ty);
                if (upper(trim(tn)) != upper(t)) continue;
                allName.push_back(trim(cn));
                allType.push_back(std::atoi(ty.c_str()));
            }
        }
    }
    const std::string quote = ident_quote(ctx);
    db_close(ctx);

    // The chosen columns: the listed ones, or all.
    out.colName.assign(1, std::string());
    out.colType.assign(1, 0);
    std::string list = trim(columns);
    if (list.empty()) {
        for (size_t i = 0; i < allName.size(); ++i) {
            out.colName.push_back(allName[i]);
            out.colType.push_back(allType[i]);
        }
    } else {
        size_t b = 0;
        for (;;) {
            const size_t e = list.find(',', b);
            const std::string c = trim(list.substr(b, e == std::string::npos ? e : e - b));
            if (!c.empty()) {
                int type = 0;
                for (size_t i = 0; i < allName.size(); ++i)
                    if (upper(allName[i]) == upper(c)) type = allType[i];
                out.colName.push_back(c);
                out.colType.push_back(type);
            }
            if (e == std::string::npos) break;
            b = e + 1;
        }
    }
    out.ncol = static_cast<int>(out.colName.size()) - 1;
    std::string select;
    for (int c = 1; c <= out.ncol && !list.empty(); ++c)
        select += (c > 1 ? "," : "") + quoted(quote, out.colName[c]);
    const std::string sql = "SELECT " + (list.empty() ? std::string("*") : select) + " FROM " + quoted(quote, t);
    int n = 0;
    db_table_n_row(ctx, name, sql, n, status, password);
    if (status != "ok") return;

    db_open(ctx, name, status, password, "DB_read_Table");
    if (status != "ok") return;
    {
        Stmt st;
        if (!db_ok(st.alloc(ctx.db.hdbc))) {
            status = "Fehler(DB_read_Table): f90SQLAllocHandle";
            db_showdiags(ctx, SQL_HANDLE_DBC, ctx.db.hdbc, status);
        } else if (!db_ok(SQLExecDirect(st.h, sqlc(sql), SQL_NTS))) {
            status = "Fehler(DB_read_Table): f90SQLExecDirect";
            db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
        } else {
            SQLSMALLINT nc = 0;
            SQLNumResultCols(st.h, &nc);
            if (list.empty() && nc != out.ncol) {
                // the result set decides when the catalogue told otherwise
                out.colName.assign(1, std::string());
                out.colType.assign(1, 0);
                for (SQLSMALLINT c = 1; c <= nc; ++c) {
                    SQLCHAR cname[256] = {};
                    SQLSMALLINT len = 0, type = 0, dec = 0, nul = 0;
                    SQLULEN size = 0;
                    SQLDescribeCol(st.h, c, cname, sizeof cname, &len, &type, &size, &dec, &nul);
                    out.colName.push_back(reinterpret_cast<char*>(cname));
                    out.colType.push_back(type);
                }
                out.ncol = nc;
            }
            out.v.assign(1, {});
            out.isNull.assign(1, {});
            for (;;) {
                const SQLRETURN r = SQLFetch(st.h);
                if (r == SQL_NO_DATA) break;
                if (!db_ok(r)) {
                    status = ctx.db.name + "/" + t + ": Fehler(DB_read_Table): f90SQLFetch_";
                    db_showdiags(ctx, SQL_HANDLE_STMT, st.h, status);
                    break;
                }
                std::vector<std::string> row(static_cast<size_t>(out.ncol) + 1);
                std::vector<bool> nul(static_cast<size_t>(out.ncol) + 1, false);
                for (int c = 1; c <= out.ncol; ++c) {
                    std::string v;
                    nul[c] = !db_get_text(st.h, static_cast<SQLUSMALLINT>(c), v);
                    row[c] = support::ucut(v, 2000);
                }
                out.v.push_back(std::move(row));
                out.isNull.push_back(std::move(nul));
            }
            out.nrow = static_cast<int>(out.v.size()) - 1;
            if (status == "ok" && out.nrow == 0) status = "no data";
        }
    }
    db_close(ctx);
}

void db_create_file(RunContext& ctx, const std::string& path, std::string& status) {
    status = "ok";
    if (support::file_exists(path)) return;
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!db_ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)) ||
        !db_ok(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION,
                             reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
        !db_ok(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        status = "Fehler(DB_create_file): f90SQLAllocHandle";
        db_showdiags(ctx, SQL_HANDLE_ENV, env, status);
        if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
        return;
    }
    bool found = false;
    const std::string conn = sqlite_connection(env, path, found, true);
    if (path.find(';') != std::string::npos) {
        status = "Fehler(DB_create_file): f90SQLDriverConnect: " +
                 std::string(tr(ctx, "Dateiname mit \";\" ist nicht zulässig",
                                "a file name with \";\" is not allowed"));
        db_diag_text(ctx, status, path);
    } else if (!found) {
        status = "Fehler(DB_create_file): f90SQLDriverConnect: " +
                 std::string(tr(ctx, "kein ODBC-Treiber \"SQLite3\" installiert",
                                "no ODBC driver \"SQLite3\" installed"));
        db_diag_text(ctx, status, path);
    } else {
        SQLCHAR out[2001] = {};
        SQLSMALLINT outLen = 0;
        if (!db_ok(SQLDriverConnect(dbc, nullptr, sqlc(conn), SQL_NTS, out, sizeof out - 1,
                                    &outLen, SQL_DRIVER_COMPLETE))) {
            status = "Fehler(DB_create_file): f90SQLDriverConnect";
            db_showdiags(ctx, SQL_HANDLE_DBC, dbc, status);
        } else {
            // Writing the schema version makes the file a complete, empty database.
            SQLHSTMT st = SQL_NULL_HSTMT;
            if (db_ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st))) {
                std::string sql = "PRAGMA user_version = 1";
                if (!db_ok(SQLExecDirect(st, sqlc(sql), SQL_NTS))) {
                    status = "Fehler(DB_create_file): f90SQLExecDirect";
                    db_showdiags(ctx, SQL_HANDLE_STMT, st, status);
                }
                SQLFreeHandle(SQL_HANDLE_STMT, st);
            }
            SQLDisconnect(dbc);
        }
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    if (status == "ok" && !support::file_exists(path)) {
        status = "Fehler(DB_create_file): f90SQLDriverConnect";
        db_diag_text(ctx, status, path);
    }
}

}  // namespace rivola::input
