#include "output/erg_rows.h"

#include <algorithm>

#include "hydraulics/freeboard.h"
#include "hydraulics/hyawsp_util.h"
#include "output/listing_rows.h"
#include "support/constants.h"
#include "support/m_strings.h"

namespace rivola::output {

namespace {

bool valid(const Plant& p, int i) { return i >= 1 && i <= p.nsys; }

}  // namespace

std::string ErgRow::remarks() const {
    std::string s;
    for (int k = 1; k <= 5; ++k) s += support::pad(bem[k], 2);
    return support::rtrim(s);
}

std::vector<ErgRow> erg_rows(RunContext& ctx, int i, int k) {
    const Plant& p = ctx.plant;
    std::vector<ErgRow> out;
    if (!valid(p, i)) return out;
    const std::vector<ListingRow> lines = element_rows(ctx, i, k, false);
    const Element& e = p.el[i];
    for (size_t n = 0; n < lines.size(); ++n) {
        const ListingRow& l = lines[n];
        const LineState& s = l.s;
        ErgRow r;
        r.iz = static_cast<int>(n) + 1;
        const std::string ord = support::trim(l.ord);
        if (!ord.empty() && ord.find_first_not_of("0123456789") == std::string::npos)
            r.ord = std::stoi(ord);
        r.Q = l.Q;
        if (l.hasL) r.L = l.L;
        r.Lges = e.flaenge;
        if (s.has) {
            r.z = s.z;
            r.hges = s.hges;
            r.h = s.h;
            r.WSP = s.wsp();
            if (s.hasFlow) {
                r.A = s.A;
                r.v = s.v;
                r.E = s.z + s.he;
                if (s.hasTau) r.Tau = s.Tau;
            }
        }
        if (valid(p, s.profElem) && s.profSlot >= 1 && s.profSlot <= 4) {
            const EndProfile& pr = p.el[s.profElem].prof[s.profSlot];
            r.B = *std::max_element(pr.B.begin(), pr.B.end());
            if (pr.T[1] != ' ' && pr.T[1] != '\0') r.profil = std::string(1, pr.T[1]);
            if (pr.T[0] == 'o' && s.has && l.Q != 0.0f && hyd::has_channel_top(p.el[s.profElem]))
                r.Freibord = hyd::profile_top(pr) - s.h;
        }
        if (l.h1) r.HVK = l.l1;
        if (l.h2) (l.branch == 2 ? r.HVE2 : r.HVE1) = l.l2;
        if (l.h3) r.HVU = l.l3;
        r.bem = s.bem;
        out.push_back(r);
    }
    return out;
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
        return valid(p, u) ? p.el[u].res[1].Q : 0.0f;
    }
    const int d = e.iab[j];
    return valid(p, d) ? p.el[d].res[2].Q : 0.0f;
}

float branch_share(const RunContext& ctx, int i, int j) {
    const float q = branch_base_discharge(ctx, i);
    if (q < kTiny) return 50.0f;
    return 100.0f * branch_discharge(ctx, i, j) / q;
}

}  // namespace rivola::output
