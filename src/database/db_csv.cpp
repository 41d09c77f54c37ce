#include "database/db_csv.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "database/column_reference.h"
#include "database/db_tables.h"
#include "database/m_db_input.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::input {

using support::trim;
using support::upper;
namespace fs = std::filesystem;

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

std::string tr(const RunContext& ctx, const std::string& de, const std::string& en) {
    return ctx.english() ? en : de;
}

// ---------------------------------------------------------------------------
// Export

// A number as the shortest text that reads back as the same double.
std::string number_text(const std::string& stored, bool decimalComma) {
    double v = 0;
    const char* b = stored.c_str();
    const auto r = std::from_chars(b, b + stored.size(), v);
    std::string s = stored;
    if (r.ec == std::errc()) {
        char buf[32];
        const auto w = std::to_chars(buf, buf + sizeof buf, v);
        s.assign(buf, w.ptr);
    }
    if (decimalComma) std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

// A text in quotes when a spreadsheet would otherwise split, join or trim it,
// and when it is empty (an empty text is not the same as no value).
std::string text_field(const std::string& v) {
    const bool quote = v.empty() || v.find_first_of(";\"\r\n") != std::string::npos || v.front() == ' ' ||
                       v.back() == ' ';
    if (!quote) return v;
    std::string s = "\"";
    for (char c : v) s += c == '"' ? std::string("\"\"") : std::string(1, c);
    return s + "\"";
}

std::string csv_text(const Table& t, bool decimalComma) {
    std::string s = kBom;
    for (size_t c = 0; c < t.cols.size(); ++c) s += (c ? ";" : "") + t.cols[c].name;
    s += "\r\n";
    for (const auto& row : t.rows) {
        for (size_t c = 0; c < t.cols.size(); ++c) {
            if (c) s += ';';
            if (!row[c]) continue;
            switch (t.cols[c].kind) {
                case Kind::Real: s += number_text(*row[c], decimalComma); break;
                case Kind::Text: s += text_field(*row[c]); break;
                default: s += *row[c]; break;
            }
        }
        s += "\r\n";
    }
    return s;
}

// The file name of a table: as the reference spells it.
std::string table_file_name(const std::string& table) {
    for (const ColumnRef& c : column_reference())
        if (upper(c.table) == upper(table)) return c.table + ".csv";
    return table + ".csv";
}

// ---------------------------------------------------------------------------
// Import

struct CsvTable {
    std::string file;              // path, for messages
    std::string name;              // table name as the reference spells it
    std::vector<std::string> header;
    std::vector<const ColumnRef*> refs;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::vector<bool>> quoted;
};

struct CsvFolder {
    std::string dir;
    std::string component;         // "C_NAME", empty for the variant
    std::vector<CsvTable> tables;
    const CsvTable* table(const std::string& name) const {
        for (const CsvTable& t : tables)
            if (upper(t.name) == upper(name)) return &t;
        return nullptr;
    }
};

// Valid UTF-8? A spreadsheet saved in the Windows code page is not.
bool valid_utf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || i + static_cast<size_t>(n) >= s.size()) return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0xC0) != 0x80) return false;
        i += static_cast<size_t>(n) + 1;
    }
    return true;
}

// Text in the Windows code page 1252 (Latin-1 for the letters a German
// spreadsheet writes: umlauts, ß, °) as UTF-8.
std::string latin1_to_utf8(const std::string& s) {
    std::string o;
    for (unsigned char c : s) {
        if (c < 0x80) {
            o += static_cast<char>(c);
        } else if (c == 0x80) {
            o += "\xE2\x82\xAC";  // euro sign
        } else {
            o += static_cast<char>(0xC0 | (c >> 6));
            o += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return o;
}

struct Importer {
    RunContext& ctx;
    std::vector<CellError>& errors;

    void fault(const std::string& file, int row, const std::string& column, const std::string& value,
               const std::string& reason) {
        errors.push_back({file, row, column, value, reason});
    }

    bool read_table(const fs::path& path, CsvTable& t) {
        t.file = path.string();
        std::ifstream in(path, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        if (!in && !in.eof()) {
            fault(t.file, 0, "", "", tr(ctx, "Datei kann nicht gelesen werden", "the file cannot be read"));
            return false;
        }
        std::string text = ss.str();
        if (text.rfind(kBom, 0) == 0) text.erase(0, 3);
        if (!valid_utf8(text)) text = latin1_to_utf8(text);
        if (!parse_csv(text, t.rows, t.quoted)) {
            fault(t.file, static_cast<int>(t.rows.size()), "", "",
                  tr(ctx, "Anführungszeichen nicht geschlossen", "a quote is not closed"));
            return false;
        }
        if (t.rows.empty()) {
            fault(t.file, 1, "", "", tr(ctx, "keine Kopfzeile mit den Spaltennamen", "no header row of column names"));
            return false;
        }
        t.header = t.rows.front();
        t.rows.erase(t.rows.begin());
        t.quoted.erase(t.quoted.begin());
        std::set<std::string> seen;
        for (std::string& h : t.header) {
            h = trim(h);
            const ColumnRef* r = find_column_ref(t.name, h);
            t.refs.push_back(r);
            if (!r) fault(t.file, 1, h, "", tr(ctx, "unbekannte Spalte", "unknown column"));
            else if (!seen.insert(upper(h)).second) fault(t.file, 1, h, "", tr(ctx, "Spalte doppelt", "column twice"));
        }
        for (const ColumnRef* r : table_columns(t.name))
            if (!r->optional && !seen.count(upper(r->name)))
                fault(t.file, 1, r->name, "", tr(ctx, "Spalte fehlt", "column missing"));
        return true;
    }

    void read_folder(CsvFolder& f) {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(f.dir, ec))
            if (e.is_regular_file() && upper(e.path().extension().string()) == ".CSV") files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& p : files) {
            CsvTable t;
            const std::string stem = p.stem().string();
            if (!known_table(stem)) {
                fault(p.string(), 0, "", "", tr(ctx, "keine Tabelle einer Variante", "not a table of a variant"));
                continue;
            }
            t.name = table_columns(stem).front()->table;
            if (read_table(p, t)) f.tables.push_back(std::move(t));
        }
        for (const char* want : {"tbl_all", "tbl_rvldaten"})
            if (!f.table(want))
                fault((fs::path(f.dir) / (std::string(want) + ".csv")).string(), 0, "", "",
                      tr(ctx, "Datei fehlt", "file missing"));
    }

    // Column index of a header name, -1 when none.
    static int col(const CsvTable& t, const char* name) {
        for (size_t c = 0; c < t.header.size(); ++c)
            if (upper(t.header[c]) == upper(name)) return static_cast<int>(c);
        return -1;
    }
    static std::string cell(const CsvTable& t, size_t r, int c) {
        return c >= 0 && static_cast<size_t>(c) < t.rows[r].size() ? t.rows[r][static_cast<size_t>(c)] : "";
    }
    static bool blank_row(const CsvTable& t, size_t r) {
        for (size_t c = 0; c < t.rows[r].size(); ++c)
            if (!t.rows[r][c].empty() || t.quoted[r][c]) return false;
        return true;
    }
    static bool deleted(const CsvTable& t, size_t r) {
        const std::string d = trim(cell(t, r, col(t, "geloescht")));
        return !d.empty() && std::atof(d.c_str()) != 0.0;
    }

    // The names of the live elements of every folder: links may cross into a component.
    std::set<std::string> live_names(const std::vector<CsvFolder>& folders) {
        std::set<std::string> names;
        for (const CsvFolder& f : folders) {
            const CsvTable* t = f.table("tbl_rvldaten");
            if (!t) continue;
            const int b = col(*t, "bez");
            for (size_t r = 0; r < t->rows.size(); ++r)
                if (!deleted(*t, r)) names.insert(trim(cell(*t, r, b)));
        }
        return names;
    }

    // Checks every cell and turns the folder into a database to write.
    Database convert(const CsvFolder& f, const std::set<std::string>& names, const std::set<std::string>& folders) {
        Database db;
        db.component = f.component;
        for (const CsvTable& t : f.tables) {
            Table out;
            out.name = t.name;
            for (size_t c = 0; c < t.header.size(); ++c) {
                Column column;
                column.name = t.refs[c] ? t.refs[c]->name : t.header[c];
                column.ddl = t.refs[c] ? column_ddl(*t.refs[c]) : "";
                out.cols.push_back(column);
            }
            const bool elements = upper(t.name) == "TBL_RVLDATEN";
            const int cBez = col(t, "bez");
            for (size_t r = 0; r < t.rows.size(); ++r) {
                const int row = static_cast<int>(r) + 2;
                if (blank_row(t, r)) continue;
                if (t.rows[r].size() != t.header.size()) {
                    fault(t.file, row, "", "",
                          std::to_string(t.rows[r].size()) +
                              tr(ctx, " Felder, die Kopfzeile hat ", " fields, the header has ") +
                              std::to_string(t.header.size()));
                    continue;
                }
                const std::string bez = elements ? trim(cell(t, r, cBez)) : "";
                const bool dead = elements && deleted(t, r);
                // rows named C_ are components in the variant itself; inside
                // a component they are elements (components are not nested)
                const bool component = f.component.empty() && bez.rfind("C_", 0) == 0;
                const char letter = bez.empty() ? ' ' : bez[0];
                if (elements && !dead && !bez.empty()) {
                    if (component) {
                        if (!folders.count(bez))
                            fault(t.file, row, "bez", bez,
                                  tr(ctx, "Ordner der Komponente fehlt: ", "folder of the component missing: ") +
                                      (fs::path(f.dir) / bez).string());
                    } else if (!element_type(letter)) {
                        fault(t.file, row, "bez", bez,
                              tr(ctx, "unbekannter Elementtyp ", "unknown element type ") + std::string(1, letter));
                    }
                }
                std::vector<std::optional<std::string>> values(t.header.size());
                for (size_t c = 0; c < t.header.size(); ++c) {
                    const ColumnRef* ref = t.refs[c];
                    if (!ref) continue;
                    const std::string& text = t.rows[r][c];
                    bool required = ref->required == "*";
                    if (elements) {
                        const bool key = upper(ref->name) == "BEZ" || upper(ref->name) == "ER";
                        required = !dead && (key || (!component && element_type(letter) &&
                                                     column_required_for(*ref, letter)));
                    }
                    std::string value, reason;
                    if (!check_cell(*ref, text, required, ctx.english(), value, reason)) {
                        fault(t.file, row, ref->name, text, reason);
                        continue;
                    }
                    if (!value.empty() || t.quoted[r][c]) values[c] = value;
                    const bool link = elements && !dead && ref->group == "links";
                    const std::string name = trim(value);
                    if (link && !name.empty() && !names.count(name) && !(name == "ENDE" && ref->name[0] == 'a') &&
                        name[0] != '-' && name[0] != '+')
                        fault(t.file, row, ref->name, text,
                              tr(ctx, "kein Element dieses Namens", "no element of this name"));
                }
                out.rows.push_back(std::move(values));
            }
            db.tables.push_back(std::move(out));
        }
        return db;
    }
};

}  // namespace

bool parse_csv(const std::string& text, std::vector<std::vector<std::string>>& rows,
               std::vector<std::vector<bool>>& quoted) {
    rows.clear();
    quoted.clear();
    std::vector<std::string> row;
    std::vector<bool> q;
    std::string field;
    bool inQuotes = false, wasQuoted = false, any = false;
    auto end_field = [&] {
        row.push_back(field);
        q.push_back(wasQuoted);
        field.clear();
        wasQuoted = false;
    };
    auto end_row = [&] {
        end_field();
        rows.push_back(std::move(row));
        quoted.push_back(std::move(q));
        row.clear();
        q.clear();
        any = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        any = true;
        if (c == '"') {
            inQuotes = wasQuoted = true;
        } else if (c == ';') {
            end_field();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            end_row();
        } else {
            field += c;
        }
    }
    if (inQuotes) return false;
    if (any) end_row();
    return true;
}

void csv_export(RunContext& ctx, const std::string& variant, const std::string& dir, bool decimalComma,
                bool force, std::vector<std::string>& written, std::vector<std::string>& notes,
                std::string& status) {
    written.clear();
    notes.clear();
    std::vector<Database> dbs;
    if (!read_variant_databases(ctx, variant, dbs, status)) return;
    const fs::path base(dir);
    if (!force && support::file_exists((base / "tbl_rvldaten.csv").string())) {
        status = (base / "tbl_rvldaten.csv").string() +
                 tr(ctx, " existiert bereits (mit --force überschreiben)", " exists already (overwrite with --force)");
        return;
    }
    for (const Database& db : dbs) {
        const fs::path folder = db.component.empty() ? base : base / db.component;
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) {
            status = folder.string() + tr(ctx, " kann nicht angelegt werden: ", " cannot be made: ") + ec.message();
            return;
        }
        for (const Table& t : db.tables) {
            if (!known_table(t.name)) {
                notes.push_back(db.source + ": " + tr(ctx, "Tabelle ", "table ") + t.name +
                                tr(ctx, " nicht ausgegeben (keine Tabelle einer Variante)",
                                   " not exported (not a table of a variant)"));
                continue;
            }
            support::AtomicFile f((folder / table_file_name(t.name)).string());
            if (f.is_open()) f.out() << csv_text(t, decimalComma);
            if (!f.is_open() || !f.commit()) {
                status = f.path() + tr(ctx, " kann nicht geschrieben werden: ", " cannot be written: ") + f.reason();
                return;
            }
            written.push_back(f.path());
        }
    }
    status = "ok";
}

void csv_import(RunContext& ctx, const std::string& dir, const std::string& variant, bool force,
                std::vector<std::string>& written, std::vector<CellError>& errors, std::string& status) {
    written.clear();
    errors.clear();
    status = "ok";
    if (!fs::is_directory(dir)) {
        status = dir + tr(ctx, " ist kein Ordner", " is not a folder");
        return;
    }
    Importer im{ctx, errors};
    std::vector<CsvFolder> folders(1);
    folders[0].dir = dir;
    std::set<std::string> componentFolders;
    {
        std::vector<fs::path> subs;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec))
            if (e.is_directory() && e.path().filename().string().rfind("C_", 0) == 0) subs.push_back(e.path());
        std::sort(subs.begin(), subs.end());
        for (const fs::path& s : subs) {
            CsvFolder f;
            f.dir = s.string();
            f.component = s.filename().string();
            componentFolders.insert(f.component);
            folders.push_back(f);
        }
    }
    for (CsvFolder& f : folders) im.read_folder(f);
    const std::set<std::string> names = im.live_names(folders);
    // a component folder that no live row of the variant names would be lost
    std::set<std::string> named;
    if (const CsvTable* t = folders[0].table("tbl_rvldaten")) {
        const int b = Importer::col(*t, "bez");
        for (size_t r = 0; r < t->rows.size(); ++r)
            if (!Importer::deleted(*t, r)) named.insert(trim(Importer::cell(*t, r, b)));
    }
    for (size_t k = 1; k < folders.size(); ++k)
        if (!named.count(folders[k].component))
            im.fault(folders[k].dir, 0, "", "",
                     tr(ctx, "keine Zeile der Variante nennt diese Komponente",
                        "no row of the variant names this component"));

    std::vector<Database> dbs;
    for (const CsvFolder& f : folders) {
        if (f.tables.empty()) continue;
        dbs.push_back(im.convert(f, names, componentFolders));
        dbs.back().target = f.component.empty() ? variant : component_file(variant, f.component);
    }
    if (!errors.empty()) {
        status = std::to_string(errors.size()) +
                 tr(ctx, " Zellen abgelehnt, nichts geschrieben", " cells refused, nothing written");
        return;
    }
    write_variant_files(ctx, dbs, force, written, status);
}

}  // namespace rivola::input
