// Helpers shared by the tests of the hydraulic formulas.
#pragma once

#include <filesystem>
#include <unistd.h>
#include <string>
#include <vector>

#include "input/input.h"
#include "hydraulics/geomet.h"
#include "model/context.h"
#include "messages/services.h"

namespace rivola::hydtest {

// Screen log that keeps its lines.
class LogServices : public ui::Services {
public:
    std::vector<std::string> lines;
    void message(const std::string&, const std::string& text) override { lines.push_back(text); }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    void log(const std::string& line) override { lines.push_back(line); }
    void finale(const std::string&, const std::string&) override {}
    // True when the log, its lines joined by line breaks, holds the text.
    bool logged(const std::string& part) const {
        std::string all;
        for (const auto& l : lines) all += l + "\n";
        return all.find(part) != std::string::npos;
    }
};

// A fresh temporary directory for a test that writes files.
inline std::filesystem::path temp_dir(const std::string& tag) {
    auto p = std::filesystem::temp_directory_path() /
             ("rivola_" + tag + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
}

}  // namespace rivola::hydtest

namespace rivola::hydtest {

// A raw profile as the set-up fills it from the GEO columns.
inline EndProfile raw_profile(char top, char shape, float Z, float HS,
                              std::initializer_list<std::pair<float, float>> hb) {
    EndProfile p;
    p.T[0] = top;
    p.T[1] = shape;
    p.Z = Z;
    p.HS = HS;
    p.H.fill(kMissing);
    p.B.fill(kMissing);
    int j = 1;
    for (auto [h, b] : hb) {
        p.H[j] = h;
        p.B[j] = b;
        ++j;
    }
    return p;
}

// A plant of n elements; element i gets the type, length, roughness, the two
// end profiles (normalised as after input) and the discharge Q at both ends.
inline void set_element(RunContext& ctx, int i, const char* name, int ityp, float L, float K,
                        const EndProfile& down, const EndProfile& up, float Q) {
    Element& e = ctx.plant.el[i];
    e.bez = name;
    e.ityp = ityp;
    e.L = L;
    e.geo.L = L;
    e.geo.K = K;
    e.geo.C = 0.0f;
    e.prof[kProfDown] = down;
    e.prof[kProfUp] = up;
    input::profil_one(e.prof[kProfDown], false);
    input::profil_one(e.prof[kProfUp], false);
    e.res[1].Q = Q;
    e.res[2].Q = Q;
}

// One prismatic element (element 2 of a plant of 2, so that full heights are
// computed as for any element but the first) loaded at its entry node.
inline void load_prismatic(RunContext& ctx, const EndProfile& p, float K, float Q, float L = 10.0f) {
    ctx.plant.resize(2);
    ctx.plant.nsys = 2;
    set_element(ctx, 2, "G2", T_G, L, K, p, p, Q);
    ctx.cs.loaded = 0;
    hyd::qergeo(ctx, "TEST", 1, 2, 0.0f);
}

}  // namespace rivola::hydtest
