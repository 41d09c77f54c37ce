#include "input/logik.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "model/context.h"

namespace rivola::input {

void resolve_links(RunContext& ctx) {
    Plant& p = ctx.plant;
    // One pass over the names; a later element of the same name replaces an
    // earlier one, so the last match wins as in a search over all elements.
    std::unordered_map<std::string, int> byName;
    byName.reserve(static_cast<size_t>(p.nsys) * 2 + 1);
    for (int i = 1; i <= p.nsys; ++i) byName[p.el[i].bez] = i;
    auto find = [&](const std::string& name) -> int {
        if (name.empty()) return 0;
        auto it = byName.find(name);
        return it == byName.end() ? 0 : it->second;
    };
    for (int i = 1; i <= p.nsys; ++i) {
        Element& e = p.el[i];
        e.izu[1] = find(e.zulauf1);
        e.izu[2] = find(e.zulauf2);
        e.iab[1] = find(e.ablauf1);
        e.iab[2] = find(e.ablauf2);
    }
}

void strang(RunContext& ctx) {
    Plant& p = ctx.plant;
    if (p.nsys < 1) return;
    int counter = 1;
    p.el[1].istrang = 1;
    for (int i = 2; i <= p.nsys; ++i) {
        Element& e = p.el[i];
        const int u = e.izu[1];
        if (u > 0 && p.el[u].ityp == T_A && p.el[u].iab[2] == i) {
            e.istrang = ++counter;           // the second outlet opens a new strand
        } else if (e.ityp == T_Z) {
            const int s1 = e.izu[1] > 0 ? p.el[e.izu[1]].istrang : 0;
            const int s2 = e.izu[2] > 0 ? p.el[e.izu[2]].istrang : 0;
            e.istrang = (s1 > 0 && s2 > 0) ? std::min(s1, s2) : std::max(s1, s2);
        } else {
            e.istrang = u > 0 ? p.el[u].istrang : 0;
        }
    }
}

namespace {

// Length of an element as it counts for flow lengths: 0 when not above 0.
float len(const Element& e) { return e.geo.L > 0.0f ? e.geo.L : 0.0f; }

bool weir_or_wall(int ityp) { return ityp == T_U || ityp == T_W; }

}  // namespace

void fliesslaenge(RunContext& ctx) {
    Plant& p = ctx.plant;
    if (p.nsys < 1) return;
    p.el[1].flaenge = 0.0f;
    for (int i = 2; i <= p.nsys; ++i) {
        Element& e = p.el[i];
        if (e.ityp == T_Z) {
            // The confluence lies at the end of the longer of its two inflows.
            float best = 0.0f;
            for (int j = 1; j <= 2; ++j) {
                const int u = e.izu[j];
                float inlet = 0.0f;
                if (u > 0) {
                    const Element& eu = p.el[u];
                    if (eu.ityp == T_V || eu.ityp == T_S) inlet = eu.flaenge + 0.5f * len(eu);
                    else if (eu.ityp == T_Z) inlet = eu.flaenge;
                    else inlet = eu.flaenge + len(eu);
                }
                const int k = e.iord;
                if (k >= 1 && k < static_cast<int>(p.zus.size())) p.zus[k].flaenge[j] = inlet;
                const float cand =
                    inlet + ((u > 0 && weir_or_wall(p.el[u].ityp)) ? 0.5f * len(e) : len(e));
                if (j == 1 || cand > best) best = cand;
            }
            e.flaenge = best;
            continue;
        }
        const int u = e.izu[1];
        if (u <= 0) {
            e.flaenge = 0.0f;
            continue;
        }
        const Element& eu = p.el[u];
        switch (eu.ityp) {
            case T_A:
                e.flaenge = eu.flaenge + (weir_or_wall(e.ityp) ? 0.5f * len(eu) : len(eu));
                break;
            case T_Z: e.flaenge = eu.flaenge; break;
            case T_V:
            case T_S: e.flaenge = eu.flaenge + 0.5f * len(eu); break;
            default: e.flaenge = eu.flaenge + len(eu); break;
        }
    }
}

}  // namespace rivola::input
