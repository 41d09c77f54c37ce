// Plants built in memory for the tests of the system set-up, the checks and
// the discharge bounds: elements with their links, rectangular sections and
// single-loss data, a check list in a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "messages/m_rivola_error.h"
#include "common/recording_ui.h"
#include "common/test_util.h"
#include "model/context.h"

namespace rivola::test {

// One element: name, 1st inlet, 1st outlet, 2nd inlet, 2nd outlet.
struct ElementSpec {
    std::string bez, zu1, ab1, zu2, ab2;
    ElementSpec(std::string b, std::string z1 = "", std::string a1 = "", std::string z2 = "",
                std::string a2 = "")
        : bez(std::move(b)), zu1(std::move(z1)), ab1(std::move(a1)), zu2(std::move(z2)),
          ab2(std::move(a2)) {}
};

class SetupFixture : public ::testing::Test {
protected:
    TempDir dir{"setup"};
    RunContext ctx;
    RecordingUi ui;

    void SetUp() override {
        ctx.ui = &ui;
        ctx.run.dbDir = dir.str();
        ctx.run.basePath = dir.str() + "VARIANTE";
        ctx.run.checkListFile = ctx.run.basePath + ".pkl";
        language("DEUTSCH");
    }

    void language(const std::string& lang) {
        ctx.settings.language = lang;
        checks::fehler(ctx, "INIT", ctx.run.basePath,
                       lang == "ENGLISH" ? "check-list" : "Prüfprotokoll");
        ctx.run.ierr = 0;
    }

    // Elements in flow order; names double as their designations.
    void plant(const std::vector<ElementSpec>& specs) {
        Plant& p = ctx.plant;
        p.resize(static_cast<int>(specs.size()));
        for (size_t k = 0; k < specs.size(); ++k) {
            Element& e = p.el[k + 1];
            e.bez = specs[k].bez;
            e.bez_lang = specs[k].bez;
            e.zulauf1 = specs[k].zu1;
            e.ablauf1 = specs[k].ab1;
            e.zulauf2 = specs[k].zu2;
            e.ablauf2 = specs[k].ab2;
        }
    }

    Element& el(const std::string& name) {
        for (int i = 1; i <= ctx.plant.nsys; ++i)
            if (ctx.plant.el[i].bez == name) return ctx.plant.el[i];
        ADD_FAILURE() << "no element " << name;
        return ctx.plant.el[0];
    }
    int idx(const std::string& name) {
        for (int i = 1; i <= ctx.plant.nsys; ++i)
            if (ctx.plant.el[i].bez == name) return i;
        return 0;
    }

    // An open rectangular section of width b and height h at invert z
    // (upstream profile; zd the downstream invert when given).
    static void rect(Element& e, float z, float b, float h, float L = kMissing,
                     float zd = kMissing) {
        e.geo.o1.Z = z;
        e.geo.o1.T = "T";
        e.geo.o1.H[1] = 0.0f;
        e.geo.o1.B[1] = b;
        e.geo.o1.H[2] = h;
        e.geo.o1.B[2] = b;
        if (given(zd)) e.geo.u1.Z = zd;
        e.geo.L = L;
    }

    // Plausible data for every element of a plant by its type letter:
    // flumes 10 m long, 1 m wide, Strickler 70; weirs with a free crest 0.2 m
    // above what follows; walls with one opening and a loss coefficient;
    // divisions and confluences with three profiles and loss coefficients.
    void default_data(float z0 = 100.0f) {
        Plant& p = ctx.plant;
        float z = z0;
        for (int i = 1; i <= p.nsys; ++i) {
            Element& e = p.el[i];
            const char c = e.bez.empty() ? ' ' : e.bez[0];
            switch (c) {
                case 'U':
                    rect(e, z, 1.0f, 1.0f);
                    z -= 0.2f;
                    e.hve.T = "T";
                    e.hve.mue = 0.6f;
                    break;
                case 'W':
                    rect(e, z, 1.0f, 1.0f);
                    e.hve.T = "T";
                    e.hve.H = 0.3f;
                    e.hve.BU = 0.5f;
                    e.hve.zeta1[1] = 1.5f;
                    break;
                case 'A':
                case 'Z': {
                    GeoInput& g = e.geo;
                    for (GeoProfileInput* q : {&g.o1, &g.u1, &g.o2, &g.u2}) {
                        if ((c == 'A' && q == &g.o2) || (c == 'Z' && q == &g.u2)) continue;
                        q->Z = z;
                        q->T = "T";
                        q->H[1] = 0.0f;
                        q->B[1] = 1.0f;
                        q->H[2] = 1.0f;
                        q->B[2] = 1.0f;
                    }
                    e.hve.zeta1[1] = 0.5f;
                    e.hve.zeta2[1] = 0.5f;
                    break;
                }
                case 'Q':
                    rect(e, z, 1.0f, 1.0f);
                    if (!given(e.Q)) e.Q = i == 1 ? 100.0f : 0.0f;
                    break;
                case 'B':
                case 'M':
                case 'V':
                case 'S':
                    rect(e, z, 1.0f, 1.0f, 10.0f, z - 0.01f);
                    e.geo.K = 1.0f;
                    z -= 0.01f;
                    break;
                default:
                    rect(e, z, 1.0f, 1.0f, 10.0f, z - 0.01f);
                    e.geo.K = 70.0f;
                    z -= 0.01f;
                    break;
            }
        }
    }

    std::string checklist() { return read_file(ctx.run.checkListFile); }
    // The codes of the messages in the check list, in order.
    std::vector<std::string> codes() {
        std::vector<std::string> out;
        for (const std::string& l : read_lines(ctx.run.checkListFile)) {
            if (l.size() < 3 || l[0] == ' ') continue;
            if (l.rfind("Prüfprotokoll", 0) == 0 || l.rfind("check-list", 0) == 0) continue;
            out.push_back(l.substr(0, 3));
        }
        return out;
    }
    bool has(const std::string& code) {
        for (const auto& c : codes())
            if (c == code) return true;
        return false;
    }
    bool logged(const std::string& part) {
        for (const auto& l : ui.logs)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
};

}  // namespace rivola::test
