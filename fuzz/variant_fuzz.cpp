#include "variant_fuzz.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "database/db_tools.h"
#include "plant_gen.h"
#include "model/context.h"
#include "run/r_rivola.h"
#include "messages/services.h"

namespace rivola::fuzz {

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    bool more() const { return i_ < n_; }
    unsigned next() { return i_ < n_ ? d_[i_++] : 0u; }
    unsigned below(unsigned n) { return n ? next() % n : 0u; }
    unsigned u16() { return next() | (next() << 8); }

private:
    const std::uint8_t* d_;
    std::size_t n_;
    std::size_t i_ = 0;
};

// Column names of a table definition "(name type, name type, ...)".
std::vector<std::string> column_names(const std::string& def) {
    std::vector<std::string> out;
    size_t p = 0;
    while (p < def.size()) {
        size_t e = def.find(',', p);
        if (e == std::string::npos) e = def.size();
        const size_t b = def.find_first_not_of(" (", p);
        if (b < e) {
            const size_t w = def.find_first_of(" )", b);
            out.push_back(def.substr(b, std::min(w, e) - b));
        }
        p = e + 1;
    }
    return out;
}

const std::vector<std::string>& rvl_columns() {
    static const std::vector<std::string> c = column_names(input::kTblRvldatenColumns);
    return c;
}
const std::vector<std::string>& all_columns() {
    static const std::vector<std::string> c = column_names(input::kTblAllColumns);
    return c;
}

std::string quoted(const std::string& s) {
    std::string o = "'";
    for (char c : s) o += c == '\'' ? std::string("''") : std::string(1, c);
    return o + "'";
}

// Values that a database may hold where the program expects a number or a
// short text.
std::string value(Bytes& b, const std::vector<std::string>& names) {
    static const char* const fixed[] = {
        "NULL", "0", "-0.0", "1", "-1", "0.5", "2", "10", "70", "100", "1e30", "-1e30",
        "3.5e38", "-3.5e38", "1e-30", "1e-45", "1e999", "-1e999", "'NaN'", "'inf'", "'-Infinity'",
        "'abc'", "''", "'1,5'", "' 7 '", "9999999999", "-9999999999", "-999999", "-999998.5",
        "0.00002", "-0.00002", "0.00001", "25", "60", "'T'", "'K'", "'J'", "'X'", "x'00ff'",
        "'ENDE'", "' '", "'-'", "'+A'", "'#HEBER'", "'#SCHUETZ'", "'C_X'",
        "CAST(x'c3' AS TEXT)", "'G1' || char(10) || 'x'", "'Ä'", "0.6", "0.62", "1.39", "16.2",
        "19.95", "0.0089", "2.1", "99.5", "-3.5",
    };
    constexpr unsigned nFixed = sizeof fixed / sizeof fixed[0];
    const unsigned k = b.below(nFixed + 4);
    if (k < nFixed) return fixed[k];
    switch (k - nFixed) {
        case 0: {  // a number from the bytes: mantissa and decimal exponent
            const int m = static_cast<int>(b.u16()) - 32768;
            const int e = static_cast<int>(b.below(16)) - 8;
            return std::to_string(m) + "e" + std::to_string(e);
        }
        case 1:  // the name of an element of the variant
            return names.empty() ? "''" : quoted(names[b.below(static_cast<unsigned>(names.size()))]);
        case 2:  // an overlong text
            return quoted(std::string(12 + b.below(300), static_cast<char>('A' + b.below(26))));
        default: {  // a short text of arbitrary bytes
            std::string s;
            const unsigned n = b.below(16);
            for (unsigned i = 0; i < n; ++i) s += static_cast<char>(1 + b.below(255));
            // as a blob cast to text: any byte sequence, quotes included
            std::string hex = "x'";
            static const char* digits = "0123456789abcdef";
            for (unsigned char c : s) hex += digits[c >> 4], hex += digits[c & 15];
            return n ? "CAST(" + hex + "' AS TEXT)" : "''";
        }
    }
}

void set_field(std::vector<gen::Field>& f, const std::string& col, const std::string& lit) {
    for (auto& x : f)
        if (x.column == col) {
            x.literal = lit;
            return;
        }
    f.push_back({col, lit});
}

std::string bez_of(const gen::ElementRow& r) {
    for (const auto& x : r.fields)
        if (x.column == "bez" && x.literal.size() >= 2 && x.literal.front() == '\'')
            return x.literal.substr(1, x.literal.size() - 2);
    return {};
}

// Replaces the column list of a table definition without one column.
std::string without_column(const std::string& def, const std::string& col) {
    const std::string key = col + " ";
    size_t p = def.find(key);
    while (p != std::string::npos && p > 0 && def[p - 1] != ' ' && def[p - 1] != '(')
        p = def.find(key, p + 1);
    if (p == std::string::npos) return def;
    size_t e = def.find(',', p);
    if (e == std::string::npos) return def;
    e = def.find_first_not_of(' ', e + 1);
    return def.substr(0, p) + def.substr(e);
}

class QuietUi : public ui::Services {
public:
    std::vector<std::string> logs, boxes;
    std::string finaleText, finaleCheckList;
    void message(const std::string& t, const std::string& x) override { boxes.push_back(t + "|" + x); }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string& l) override { logs.push_back(l); }
    void finale(const std::string& t, const std::string& c) override {
        finaleText = t;
        finaleCheckList = c;
    }
};

// The private working directory of this process; the run writes its files
// (check list, listings, diagnostics) there.
const std::string& work_dir() {
    static const std::string dir = [] {
        // a memory file system when there is one: the databases of every run
        // are written and synced there many times a second
        std::filesystem::path base = std::filesystem::temp_directory_path();
        std::error_code ec;
        if (const char* env = std::getenv("RIVOLA_FUZZ_DIR")) base = env;
        else if (std::filesystem::is_directory("/dev/shm", ec)) base = "/dev/shm";
        std::string tmpl = (base / "rivola-fuzz-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        const char* d = mkdtemp(buf.data());
        if (!d) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::string s = std::string(d) + "/";
        RunContext tools;
        std::string status, results;
        input::db_new_results(tools, s, results, status);
        if (status != "ok") {
            std::cerr << "results database: " << status << "\n";
            std::abort();
        }
        return s;
    }();
    return dir;
}

struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        if (!dir.empty()) std::filesystem::remove_all(dir, ec);
    }
    std::string dir;
};
Cleanup g_cleanup;  // removes the working directory at the end of the process

}  // namespace

FuzzVariant variant_from_bytes(const std::uint8_t* data, std::size_t size) {
    Bytes b(data, size);
    FuzzVariant v;

    // the starting plant: one or two stages of two or three lanes
    gen::PlantShape plan;
    const unsigned shape = b.next();
    plan.lanesPerStage = 2 + static_cast<int>(shape & 1u);
    plan.freeDivisions = static_cast<int>((shape >> 1) % 3u);
    plan.seed = b.next();
    plan.elements = gen::smallest_plant(plan) + static_cast<int>(b.below(12));
    gen::PlantSummary sum;
    std::string why;
    gen::PlantTables t = gen::build(plan, sum, why);

    const unsigned flags = b.next();
    v.validateOnly = flags & 1u;
    v.english = flags & 2u;
    const unsigned tables = (flags >> 2) % 8u;  // 0..3 as they are; others below

    std::vector<std::string> names;
    for (const auto& r : t.rows) names.push_back(bez_of(r));

    const auto& cols = rvl_columns();
    const auto& allCols = all_columns();
    const unsigned nOps = b.below(24);
    for (unsigned op = 0; op < nOps && b.more(); ++op) {
        const unsigned kind = b.below(9);
        const size_t n = t.rows.size();
        const size_t r = n ? b.below(static_cast<unsigned>(n)) : 0;
        switch (kind) {
            case 0:
            case 1: {  // any field
                if (!n) break;
                const std::string& c = cols[b.below(static_cast<unsigned>(cols.size()))];
                set_field(t.rows[r].fields, c, value(b, names));
                break;
            }
            case 2: {  // a link
                if (!n) break;
                static const char* links[] = {"zulauf1", "zulauf2", "ablauf1", "ablauf2", "bez"};
                set_field(t.rows[r].fields, links[b.below(5)], value(b, names));
                break;
            }
            case 3:  // a field removed (NULL)
                if (n && !t.rows[r].fields.empty()) {
                    auto& f = t.rows[r].fields;
                    f.erase(f.begin() + b.below(static_cast<unsigned>(f.size())));
                }
                break;
            case 4:  // a row deleted
                if (n) t.rows.erase(t.rows.begin() + static_cast<long>(r));
                break;
            case 5:  // a row duplicated
                if (n && n < 200) t.rows.insert(t.rows.begin() + static_cast<long>(r), t.rows[r]);
                break;
            case 6:  // two rows swapped (the order of ER stays)
                if (n > 1) {
                    const size_t q = b.below(static_cast<unsigned>(n));
                    std::swap(t.rows[r].fields, t.rows[q].fields);
                }
                break;
            case 7:  // a base setting
                set_field(t.all, allCols[b.below(static_cast<unsigned>(allCols.size()))],
                          value(b, names));
                break;
            default:  // a deletion mark
                if (n) set_field(t.rows[r].fields, "geloescht", value(b, names));
                break;
        }
    }
    // the order of the rows is the order of ER
    int er = 0;
    for (auto& r : t.rows) set_field(r.fields, "er", std::to_string(er += 10));

    std::string all = input::kTblAllColumns, rvl = input::kTblRvldatenColumns;
    std::string script;
    bool withAll = true, withRvl = true;
    switch (tables) {
        case 4: withAll = false; break;                            // tbl_all missing
        case 5: withRvl = false; break;                            // tbl_rvldaten missing
        case 6: t.all.clear(); break;                              // tbl_all without a row
        case 7: {                                                  // a column missing
            const std::string& c = cols[3 + b.below(static_cast<unsigned>(cols.size() - 3))];
            rvl = without_column(rvl, c);
            for (auto& row : t.rows)
                row.fields.erase(std::remove_if(row.fields.begin(), row.fields.end(),
                                                [&](const gen::Field& f) { return f.column == c; }),
                                 row.fields.end());
            break;
        }
        default: break;
    }
    if (withAll) script += "CREATE TABLE tbl_all " + all + ";\n";
    if (withRvl) script += "CREATE TABLE tbl_rvldaten " + rvl + ";\n";
    auto insert = [&](const char* table, const std::vector<gen::Field>& f) {
        std::string c, x;
        for (const auto& fl : f) {
            c += (c.empty() ? "" : ", ") + fl.column;
            x += (x.empty() ? "" : ", ") + fl.literal;
        }
        if (!f.empty()) script += std::string("INSERT INTO ") + table + " (" + c + ") VALUES (" + x + ");\n";
    };
    if (withAll) insert("tbl_all", t.all);
    if (withRvl)
        for (const auto& r : t.rows) insert("tbl_rvldaten", r.fields);
    v.script = std::move(script);
    return v;
}

FuzzOutcome run_variant(const FuzzVariant& v) {
    FuzzOutcome out;
    const std::string& dir = work_dir();
    if (g_cleanup.dir.empty()) g_cleanup.dir = dir;
    // files the run writes into the current directory stay in the private
    // one; the caller's directory is restored afterwards (libFuzzer reads its
    // corpus by relative paths)
    const std::filesystem::path home = std::filesystem::current_path();
    if (chdir(dir.c_str()) != 0) {
        out.why = "cannot enter " + dir;
        return out;
    }
    struct Back {
        const std::filesystem::path& p;
        ~Back() {
            if (chdir(p.c_str()) != 0) std::perror("chdir");
        }
    } back{home};
    const std::string sql = dir + "v.sql", db = dir + "V.mdb";
    {
        std::ofstream f(sql, std::ios::binary);
        f << v.script;
    }
    {
        RunContext tools;
        tools.db.diagFile = dir + "load.pkl";
        std::string status;
        input::db_load_script(tools, db, sql, status);
        if (status != "ok") return out;  // not a database: nothing to run
    }
    out.loaded = true;

    QuietUi ui;
    RunContext ctx;
    ctx.ui = &ui;
    ctx.db.diagFile = dir + "DB_Fehler.pkl";
    ctx.run.params = {db, v.validateOnly ? "SIM=N" : "SIM=J"};
    if (v.english) {
        ctx.run.params.push_back("ENGLISH");
        ctx.settings.language = "ENGLISH";
    }
    run::r_rivola(ctx, 1);
    out.ierr = ctx.run.ierr;

    // a stop told on the screen log: the error lines of the checks and the
    // stop messages of the computation (which name whom to contact)
    bool errorLine = false;
    for (const auto& l : ui.logs)
        for (const char* head : {"Fehler", "error", "Abbruch", "abort", "Iteration in", "iteration in"})
            if (l.rfind(head, 0) == 0 || l.find("Marlow Wasserbau") != std::string::npos)
                errorLine = true;
    out.explained = !ui.boxes.empty() || !ui.finaleCheckList.empty() || errorLine;

    if (out.ierr < 0 || out.ierr > 3) out.why = "error level " + std::to_string(out.ierr);
    else if (ui.finaleText.empty()) out.why = "the run ended without its final message";
    else if (out.ierr >= 2 && !out.explained)
        out.why = "the run stopped at error level " + std::to_string(out.ierr) +
                  " without a message in the check list, a message box or an error line";
    return out;
}

void run_one(const std::uint8_t* data, std::size_t size) {
    const FuzzVariant v = variant_from_bytes(data, size);
    const FuzzOutcome o = run_variant(v);
    if (!o.why.empty()) {
        std::cerr << "rivola fuzz: " << o.why << "\n--- variant ---\n" << v.script << "---\n";
        std::abort();
    }
}

}  // namespace rivola::fuzz
