#include "output/erg_rows.h"

#include <algorithm>
#include <cmath>

#include "output/m_output_eingabe.h"
#include "support/m_strings.h"

namespace rivola::output {

namespace {

constexpr float kEps = 0.00002f;

float max_width(const EndProfile& p) {
    float b = 0.0f;
    for (float w : p.B) b = std::max(b, w);
    return b;
}

// Length of an element: the length of its results, else that of its GEO data.
float element_length(const Element& e) {
    if (e.L > 0.0f) return e.L;
    return given(e.geo.L) && e.geo.L > 0.0f ? e.geo.L : 0.0f;
}

// A row of section s (1 outlet end, 2 inlet end) of element i.
ErgRow section_row(const Element& e, int s, int iz) {
    ErgRow r;
    const EndResult& x = e.res[s];
    const EndProfile& p = e.prof[s == 1 ? kProfDown : kProfUp];
    r.iz = iz;
    r.first = iz == 1;
    r.ord = e.istrang;
    r.Q = x.Q;
    r.Lges = e.flaenge;
    r.B = max_width(p);
    r.z = x.z;
    r.hges = board_height(p);
    r.h = x.h;
    r.A = x.A;
    r.v = x.v;
    r.E = x.E();
    if (x.Tau > -9999.0f) r.Tau = x.Tau;
    const char t = p.T[1];
    r.profil = t == ' ' || t == '\0' ? std::string() : std::string(1, t);
    for (int k = 1; k <= 5; ++k) r.bem[k] = x.bem[k];
    return r;
}

// Flumes, pipes, basins, immersion tubes, in- and outlets and screens: the
// upstream section with the friction and single loss, then the downstream
// section with the length and the transition loss.
std::vector<ErgRow> rows_two_sections(const Element& e) {
    ErgRow up = section_row(e, 2, 1);
    up.HVK = e.HVK;
    up.HVE1 = e.HVE1;
    ErgRow dn = section_row(e, 1, 2);
    dn.L = element_length(e);
    dn.HVU = e.HVU;
    return {up, dn};
}

// A weir: one line, the upstream section with the transition loss.
std::vector<ErgRow> rows_weir(const Element& e) {
    ErgRow r = section_row(e, 2, 1);
    r.HVU = e.HVU;
    return {r};
}

// A wall: the upstream section with the single loss; the downstream section
// with the transition loss when there is one worth showing.
std::vector<ErgRow> rows_wall(const Element& e) {
    ErgRow up = section_row(e, 2, 1);
    up.label = e.kurzbez;
    up.HVE1 = e.HVE1;
    std::vector<ErgRow> rows{up};
    if (e.HVU > 0.0001f) {
        ErgRow dn = section_row(e, 1, 2);
        dn.HVU = e.HVU;
        rows.push_back(dn);
    }
    return rows;
}

// A pump: one line whose length column carries the delivery head.
std::vector<ErgRow> rows_pump(const Element& e) {
    ErgRow r = section_row(e, 2, 1);
    r.L = e.HVU;
    return {r};
}

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

// Value of a table of six coefficients at the discharge ratios 0, 0.2, ..., 1.0.
float table_value(const std::array<float, 7>& t, float r) {
    const int k = std::clamp(static_cast<int>(5.0f * r + 1.0f), 1, 5);
    auto val = [&](int m) { return given(t[m]) ? t[m] : 0.00004f; };
    return val(k) + (r - 0.2f * static_cast<float>(k - 1)) * 5.0f * (val(k + 1) - val(k));
}

}  // namespace

std::string ErgRow::remarks() const {
    std::string s;
    for (int k = 1; k <= 5; ++k) s += support::pad(bem[k], 2);
    return support::rtrim(s);
}

void complete_remarks(RunContext& ctx, int i) {
    Plant& p = ctx.plant;
    if (i < 1 || i > p.nsys) return;
    Element& e = p.el[i];
    if (e.ityp == T_D) {
        const bool siphon = support::trim(e.kurzbez) == "Heber";
        for (int s = 1; s <= 2; ++s) {
            EndResult& x = e.res[s];
            if (siphon) {
                x.bem[2] = "Hw";
                if (x.h < -7.0f) x.bem[5] = "Kv";
            } else if (x.h < board_height(e.prof[s == 1 ? kProfDown : kProfUp])) {
                x.bem[5] = "FS";
            }
        }
    } else if (e.ityp == T_B) {
        e.res[1].bem[4].clear();
        e.res[2].bem[4].clear();
    }
}

std::vector<ErgRow> erg_rows(RunContext& ctx, int i) {
    const Plant& p = ctx.plant;
    if (i < 1 || i > p.nsys) return {};
    complete_remarks(ctx, i);
    const Element& e = p.el[i];
    switch (e.ityp) {
        case T_G:
        case T_D:
        case T_B:
        case T_T:
        case T_Q:
        case T_R: return rows_two_sections(e);
        case T_U: return rows_weir(e);
        case T_W: return rows_wall(e);
        case T_P: return rows_pump(e);
        default: return {};
    }
}

float branch_base_discharge(const RunContext& ctx, int i) {
    const Element& e = ctx.plant.el[i];
    return e.ityp == T_Z ? e.res[1].Q : e.res[2].Q;
}

float branch_discharge(const RunContext& ctx, int i, int j) {
    const Plant& p = ctx.plant;
    const Element& e = p.el[i];
    if (e.ityp == T_Z) {
        const int u = e.izu[j];
        return u >= 1 && u <= p.nsys ? p.el[u].res[1].Q : 0.0f;
    }
    const int d = e.iab[j];
    return d >= 1 && d <= p.nsys ? p.el[d].res[2].Q : 0.0f;
}

float branch_share(const RunContext& ctx, int i, int j) {
    const float q = branch_base_discharge(ctx, i);
    if (q < kEps) return 50.0f;
    return 100.0f * branch_discharge(ctx, i, j) / q;
}

std::optional<float> branch_zeta(const RunContext& ctx, int i, int j) {
    const Element& e = ctx.plant.el[i];
    if ((e.ityp == T_A && letter(e) == 'V') || (e.ityp == T_Z && letter(e) == 'S')) return std::nullopt;
    const auto& t = j == 1 ? e.hve.zeta1 : e.hve.zeta2;
    const auto& h = e.hve;
    // Discharge-dependent coefficients: six values per branch at the discharge
    // ratios 0, 0.2, ..., 1.0, used when both branches give at least two.
    const bool table = given(h.zeta1[1]) && given(h.zeta1[2]) && given(h.zeta2[1]) && given(h.zeta2[2]);
    if (table) {
        const float q = branch_base_discharge(ctx, i);
        // A division reads the ratio of its own branch, a confluence that of
        // its second inlet.
        float r = 1.0f;
        if (e.ityp == T_Z) {
            if (q >= 0.0001f) r = branch_discharge(ctx, i, 2) / q;
        } else if (q > 0.0001f) {
            r = branch_discharge(ctx, i, j) / q;
        }
        r = std::clamp(r, 0.0f, 0.999f);
        return table_value(t, r);
    }
    if (given(t[1])) return t[1];
    return std::nullopt;
}

}  // namespace rivola::output
