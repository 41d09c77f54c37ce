#include "output/envelope.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>

#include "output/result_files.h"
#include "support/m_files.h"
#include "support/m_strings.h"

namespace rivola::output {

namespace {

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> f;
    size_t a = 0;
    for (;;) {
        const size_t b = line.find(';', a);
        f.push_back(line.substr(a, b == std::string::npos ? std::string::npos : b - a));
        if (b == std::string::npos) break;
        a = b + 1;
    }
    return f;
}

// The rows of one case's CSV file: per row its key (group, element, line),
// description, water level and freeboard as printed.
struct CaseRow {
    std::string key, group, kenn, iz, text, wsp, freibord;
};

std::vector<CaseRow> read_case_csv(const std::string& file, const std::string& caseGroup,
                                   const std::string& variantGroup, bool& groups) {
    std::vector<CaseRow> rows;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) return rows;
    const std::vector<std::string> head = fields(line);
    auto col = [&](const char* name) {
        for (size_t c = 0; c < head.size(); ++c)
            if (support::trim(head[c]) == name) return static_cast<int>(c);
        return -1;
    };
    const int cg = col("Baugruppe"), ck = col("Kenn"), ci = col("iz"), ct = col("Beschreibung"),
              cw = col("WSP"), cf = col("Freibord");
    groups = groups || cg >= 0;
    auto at = [](const std::vector<std::string>& f, int c) {
        return c >= 0 && static_cast<size_t>(c) < f.size() ? f[static_cast<size_t>(c)] : std::string();
    };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::vector<std::string> f = fields(line);
        CaseRow r{"", at(f, cg), at(f, ck), at(f, ci), at(f, ct), at(f, cw), at(f, cf)};
        // the elements of the variant itself are grouped under the case's name
        if (support::trim(r.group) == caseGroup) r.group = variantGroup;
        r.key = r.group + "\x1f" + r.kenn + "\x1f" + r.iz;
        rows.push_back(std::move(r));
    }
    return rows;
}

// A number as the CSV prints it; false for an empty field.
bool number(const std::string& text, float& v) {
    const std::string t = support::trim(text);
    if (t.empty()) return false;
    char* end = nullptr;
    v = std::strtof(t.c_str(), &end);
    return end && *end == '\0';
}

}  // namespace

void write_envelope(RunContext& ctx, const std::vector<std::string>& names,
                    const std::vector<std::string>& csvFiles) {
    if (names.empty()) return;
    bool groups = false;
    std::vector<std::vector<CaseRow>> cases;
    std::vector<std::map<std::string, size_t>> index(names.size());
    for (size_t k = 0; k < names.size(); ++k) {
        cases.push_back(read_case_csv(csvFiles[k], ctx.run.dbName + "_" + names[k], ctx.run.dbName, groups));
        for (size_t r = 0; r < cases[k].size(); ++r) index[k].emplace(cases[k][r].key, r);
    }
    // the rows: those of the first case that has any, then any others' in their order
    std::vector<const CaseRow*> order;
    std::map<std::string, bool> listed;
    for (const auto& rows : cases)
        for (const CaseRow& r : rows)
            if (listed.emplace(r.key, true).second) order.push_back(&r);

    support::AtomicFile f(ctx.run.basePath + "_Lastfaelle.csv");
    std::ostream& out = f.out();
    out << (groups ? "Baugruppe;" : "") << "Kenn;iz;Beschreibung;";
    for (const std::string& n : names) out << "WSP_" << n << ";";
    out << "Freibord_min;Lastfall_min;\n";
    for (const CaseRow* row : order) {
        out << (groups ? row->group + ";" : "") << row->kenn << ";" << row->iz << ";" << row->text << ";";
        std::optional<float> least;
        std::string leastText, leastCase;
        for (size_t k = 0; k < names.size(); ++k) {
            const auto it = index[k].find(row->key);
            const CaseRow* r = it == index[k].end() ? nullptr : &cases[k][it->second];
            out << (r ? r->wsp : "") << ";";
            float fb = 0.0f;
            if (r && number(r->freibord, fb) && (!least || fb < *least)) {
                least = fb;
                leastText = support::trim(r->freibord);
                leastCase = names[k];
            }
        }
        out << leastText << ";" << leastCase << ";\n";
    }
    finish_file(ctx, f);
}

}  // namespace rivola::output
