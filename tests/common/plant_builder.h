// Plants built in memory for the tests, at the two stages a run passes:
// elements with their links and GEO/HVE input as the reader leaves them (for
// the set-up, the checks and the discharge bounds), and, by finish(Q), the
// state after the set-up: types, links, ordinals, normalised profiles,
// per-type tables and the discharge of every element end (for the walk).
// Also single prismatic elements loaded for the section formulas.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "input/input.h"
#include "messages/m_rivola_error.h"
#include "common/recording_ui.h"
#include "common/test_util.h"
#include "hydraulics/geomet.h"
#include "model/context.h"

namespace rivola::test {

// True when the screen log, its lines joined by line breaks, holds the text.
inline bool logged(const RecordingUi& ui, const std::string& part) {
    std::string all;
    for (const auto& l : ui.logs) all += l + "\n";
    return all.find(part) != std::string::npos;
}

// A raw profile as the set-up fills it from the GEO columns: (height, width)
// pairs above the invert Z.
inline EndProfile raw_profile(char top, char shape, float Z, float HS,
                              std::initializer_list<std::pair<float, float>> hb) {
    EndProfile p;
    p.T[0] = top, p.T[1] = shape, p.Z = Z, p.HS = HS;
    p.H.fill(kMissing);
    p.B.fill(kMissing);
    int j = 1;
    for (auto [h, b] : hb) p.H[j] = h, p.B[j++] = b;
    return p;
}
inline EndProfile rect_profile(float Z, float b, float h, bool closed = false) {
    return raw_profile(closed ? 'g' : 'o', 'T', Z, 2e-5f, {{h, b}});
}

// Element i of the plant with type, length, roughness, the two end profiles
// (normalised as after the set-up) and the discharge Q at both ends.
inline void set_element(RunContext& ctx, int i, const char* name, int ityp, float L, float K,
                        const EndProfile& down, const EndProfile& up, float Q) {
    Element& e = ctx.plant.el[i];
    e.bez = name, e.ityp = ityp, e.L = e.geo.L = L, e.geo.K = K, e.geo.C = 0.0f;
    e.prof[kProfDown] = down, e.prof[kProfUp] = up;
    input::profil_one(e.prof[kProfDown], false);
    input::profil_one(e.prof[kProfUp], false);
    e.res[1].Q = e.res[2].Q = Q;
}

// One prismatic element (element 2 of a plant of 2, so that full heights are
// computed as for any element but the first) loaded at its outlet node.
inline void load_prismatic(RunContext& ctx, const EndProfile& p, float K, float Q,
                           float L = 10.0f) {
    ctx.plant.resize(2);
    set_element(ctx, 2, "G2", T_G, L, K, p, p, Q);
    ctx.cs.loaded = 0;
    hyd::qergeo(ctx, "TEST", 1, 2, 0.0f);
}

// One element: name, 1st inlet, 1st outlet, 2nd inlet, 2nd outlet.
struct ElementSpec {
    std::string bez, zu1 = "", ab1 = "", zu2 = "", ab2 = "";
};

// A polygon profile for finish(): layer heights and widths above the invert.
struct Prof {
    char top = 'o', shape = 'T';  // 'o' open, 'g' closed; 'T' flat, 'K' circular bottom
    std::vector<float> H, B;
    float HS = 2e-5f;             // crown rise
    static Prof rect(float b, float h, bool closed = false) {
        return Prof{closed ? 'g' : 'o', 'T', {h}, {b}};
    }
};

struct CtxHolder {
    RunContext ctx;
};

class PlantBuilder {
public:
    explicit PlantBuilder(RunContext& c) : ctx_(c) {}

    // ---- stage 1: elements in flow order as the reader leaves them
    void plant(const std::vector<ElementSpec>& specs) {
        Plant& p = ctx_.plant;
        p.resize(static_cast<int>(specs.size()));
        for (size_t k = 0; k < specs.size(); ++k) {
            Element& e = p.el[k + 1];
            e.bez = e.bez_lang = specs[k].bez;
            e.zulauf1 = specs[k].zu1, e.ablauf1 = specs[k].ab1;
            e.zulauf2 = specs[k].zu2, e.ablauf2 = specs[k].ab2;
        }
    }
    // Q1 -> G2 -> A3 -> (G4 | G5) -> Z6 -> G7: a division onto two lanes that
    // meet again at a confluence.
    void two_lanes() {
        plant({{"Q1", "", "G2"},
               {"G2", "Q1", "A3"},
               {"A3", "G2", "G4", "", "G5"},
               {"G4", "A3", "Z6"},
               {"G5", "A3", "Z6"},
               {"Z6", "G4", "G7", "G5"},
               {"G7", "Z6", "ENDE"}});
    }
    int idx(const std::string& name) const {
        for (int i = 1; i <= ctx_.plant.nsys; ++i)
            if (ctx_.plant.el[i].bez == name) return i;
        return 0;
    }
    Element& el(const std::string& name) {
        const int i = idx(name);
        if (i == 0) ADD_FAILURE() << "no element " << name;
        return ctx_.plant.el[i];
    }
    // An open rectangular section of width b and height h at invert z
    // (upstream profile; zd the downstream invert when given).
    static void rect(Element& e, float z, float b, float h, float L = kMissing,
                     float zd = kMissing) {
        GeoProfileInput& o = e.geo.o1;
        o.Z = z, o.T = "T";
        o.H[1] = 0.0f, o.B[1] = b, o.H[2] = h, o.B[2] = b;
        if (given(zd)) e.geo.u1.Z = zd;
        e.geo.L = L;
    }
    // Plausible data for every element by its type letter: flumes 10 m long,
    // 1 m wide, Strickler 70, falling 1 cm; weirs with a free crest 0.2 m
    // above what follows; walls with one opening and a loss coefficient;
    // divisions and confluences with three profiles and loss coefficients.
    void default_data(float z0 = 100.0f) {
        Plant& p = ctx_.plant;
        float z = z0;
        for (int i = 1; i <= p.nsys; ++i) {
            Element& e = p.el[i];
            const char c = e.bez.empty() ? ' ' : e.bez[0];
            switch (c) {
                case 'U':
                    rect(e, z, 1.0f, 1.0f);
                    z -= 0.2f, e.hve.T = "T", e.hve.mue = 0.6f;
                    break;
                case 'W':
                    rect(e, z, 1.0f, 1.0f);
                    e.hve.T = "T", e.hve.H = 0.3f, e.hve.BU = 0.5f, e.hve.zeta1[1] = 1.5f;
                    break;
                case 'A':
                case 'Z': {
                    GeoInput& g = e.geo;
                    for (GeoProfileInput* q : {&g.o1, &g.u1, &g.o2, &g.u2}) {
                        if ((c == 'A' && q == &g.o2) || (c == 'Z' && q == &g.u2)) continue;
                        q->Z = z, q->T = "T";
                        q->H[1] = 0.0f, q->B[1] = 1.0f, q->H[2] = 1.0f, q->B[2] = 1.0f;
                    }
                    e.hve.zeta1[1] = e.hve.zeta2[1] = 0.5f;
                    break;
                }
                case 'Q':
                    rect(e, z, 1.0f, 1.0f);
                    if (!given(e.Q)) e.Q = i == 1 ? 100.0f : 0.0f;
                    break;
                default:
                    rect(e, z, 1.0f, 1.0f, 10.0f, z - 0.01f);
                    e.geo.K = std::string("BMVS").find(c) != std::string::npos ? 1.0f : 70.0f;
                    z -= 0.01f;
                    break;
            }
        }
    }

    // ---- stage 2: the plant after the set-up
    // An element from its name (first letter = type), first inlet and outlet,
    // length, inverts at the outlet and inlet end, profile (both ends) and
    // roughness; the last element has the outlet "ENDE".
    int add(const std::string& bez, const std::string& zu1, const std::string& ab1, float L,
            float zDown, float zUp, const Prof& prof, float K = 70.0f) {
        Element e;
        e.bez = e.bez_lang = bez, e.zulauf1 = zu1, e.ablauf1 = ab1;
        e.L = e.geo.L = L, e.geo.K = K, e.geo.C = 0.0f;
        set_prof(e.prof[kProfDown], prof, zDown);
        set_prof(e.prof[kProfUp], prof, zUp);
        els_.push_back(e);
        return static_cast<int>(els_.size());
    }
    // Types, links, ordinals, profiles, table sizes; every end carries Q.
    void finish(float Q) {
        Plant& p = ctx_.plant;
        const int n = static_cast<int>(els_.size());
        p.resize(n);
        std::map<std::string, int> at;
        for (int i = 1; i <= n; ++i) at[(p.el[i] = els_[static_cast<size_t>(i - 1)]).bez] = i;
        auto look = [&](const std::string& s) { return at.count(s) ? at[s] : 0; };
        std::array<int, kMaxItyp + 1> cnt{};
        for (int i = 1; i <= n; ++i) {
            Element& e = p.el[i];
            int t = ityp_of_letter(e.bez[0]);
            if (t == T_V && !e.ablauf2.empty()) t = T_A;
            if (t == T_S && !e.zulauf2.empty()) t = T_Z;
            e.ityp = t, e.iord = t > 0 ? ++cnt[t] : 0;
            e.izu[1] = look(e.zulauf1), e.izu[2] = look(e.zulauf2);
            e.iab[1] = look(e.ablauf1), e.iab[2] = look(e.ablauf2);
            input::profil(ctx_, i);
            e.res[1].Q = e.res[2].Q = Q;
            e.res[1].z = e.prof[kProfDown].Z, e.res[2].z = e.prof[kProfUp].Z;
        }
        indx(p, n);
        auto size = [&](auto& v, int t) { v.assign(static_cast<size_t>(cnt[t]) + 1, {}); };
        size(p.ueb, T_U), size(p.wand, T_W), size(p.tau, T_T), size(p.mes, T_M);
        size(p.pumpe, T_P), size(p.rec, T_R), size(p.auf, T_A), size(p.zus, T_Z);
        size(p.aufteilung, T_A), size(p.qzu, T_Q);
        if (p.qzu.size() > 1) p.qzu[1] = Q;
    }

private:
    static void set_prof(EndProfile& p, const Prof& f, float z) {
        p = EndProfile{};
        p.T[0] = f.top, p.T[1] = f.shape, p.Z = z, p.HS = f.HS;
        for (size_t j = 0; j < f.H.size() && j < 5; ++j) p.H[j + 1] = f.H[j], p.B[j + 1] = f.B[j];
        p.n = static_cast<int>(f.H.size());
    }
    RunContext& ctx_;
    std::vector<Element> els_;
};

// A plant with its check list in a temporary directory and a recorded screen.
struct PlantBench : CtxHolder, PlantBuilder {
    TempDir dir{"plant"};
    RecordingUi ui;
    PlantBench() : PlantBuilder(ctx) {
        ctx.ui = &ui, ctx.run.dbDir = dir.str(), ctx.run.basePath = dir.str() + "VARIANTE";
        ctx.run.checkListFile = ctx.run.basePath + ".pkl";
        language("DEUTSCH");
    }
    void language(const std::string& lang) {
        ctx.settings.language = lang;
        checks::fehler(ctx, "INIT", ctx.run.basePath,
                       lang == "ENGLISH" ? "check-list" : "Prüfprotokoll");
        ctx.run.ierr = 0;
    }
    std::string checklist() { return read_file(ctx.run.checkListFile); }
    // The whole check list: closed first, so that what a run keeps until the end is written.
    std::string closed_checklist() {
        ctx.rep.close();
        return checklist();
    }
    // The codes of the messages in the check list, in order.
    std::vector<std::string> codes() { return check_codes(ctx.run.checkListFile); }
    bool has(const std::string& code) {
        const auto c = codes();
        return std::find(c.begin(), c.end(), code) != c.end();
    }
    bool logged(const std::string& part) const { return test::logged(ui, part); }
};

struct SetupFixture : ::testing::Test, PlantBench {};

}  // namespace rivola::test
