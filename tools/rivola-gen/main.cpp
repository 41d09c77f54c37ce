// rivola-gen: writes a large plant variant as an SQL script that
// `rivola-db load` turns into a variant database.
//
//   rivola-gen [--elements N] [--free-divisions F] [--lanes M] [--seed S] [-o FILE.sql]
//
// Without -o the script goes to standard output. A summary of the plant
// (stages, lanes, elements per type) goes to standard error.
// Exit status 0 on success, 1 when the plant cannot be built, 2 for a wrong
// command line.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "plant_gen.h"

namespace {

int usage() {
    std::cerr << "usage: rivola-gen [--elements N] [--free-divisions F] [--lanes M] [--seed S] "
                 "[-o FILE.sql]\n";
    return 2;
}

bool to_int(const char* s, long lo, long hi, long& v) {
    char* end = nullptr;
    v = std::strtol(s, &end, 10);
    return end && *end == '\0' && end != s && v >= lo && v <= hi;
}

}  // namespace

int main(int argc, char** argv) {
    rivola::gen::PlantShape plan;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        long v = 0;
        if (i + 1 >= argc) return usage();
        const char* next = argv[++i];
        if (a == "-o") {
            out = next;
        } else if (a == "--elements" && to_int(next, 1, 1000000, v)) {
            plan.elements = static_cast<int>(v);
        } else if (a == "--free-divisions" && to_int(next, 0, 1000000, v)) {
            plan.freeDivisions = static_cast<int>(v);
        } else if (a == "--lanes" && to_int(next, 2, 1000, v)) {
            plan.lanesPerStage = static_cast<int>(v);
        } else if (a == "--seed" && to_int(next, 0, 4294967295L, v)) {
            plan.seed = static_cast<unsigned>(v);
        } else {
            return usage();
        }
    }
    rivola::gen::PlantSummary sum;
    std::string why;
    const std::string sql = rivola::gen::generate(plan, sum, why);
    if (sql.empty()) {
        std::cerr << "rivola-gen: " << why << "\n";
        return 1;
    }
    if (out.empty()) {
        std::cout << sql;
    } else {
        std::ofstream f(out, std::ios::binary);
        f << sql;
        if (!f) {
            std::cerr << "rivola-gen: cannot write " << out << "\n";
            return 1;
        }
    }
    std::cerr << sum.elements << " elements, " << sum.stages << " stages, " << sum.lanes
              << " lanes, " << sum.freeDivisions << " free divisions, inflow " << sum.inflow
              << " l/s\n";
    for (char c = 'A'; c <= 'Z'; ++c)
        if (sum.count(c)) std::cerr << "  " << c << " " << sum.count(c) << "\n";
    return 0;
}
