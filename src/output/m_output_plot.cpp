// Plot data: one ";"-separated line per element with its links, strands,
// profile heights, inverts and ground levels, for drawing the longitudinal
// section of the plant.
#include <fstream>

#include "output/result_files.h"
#include "output/m_output_eingabe.h"
#include "output/text_fields.h"
#include "support/m_strings.h"
#include "messages/services.h"

namespace rivola::output {

namespace {

// Height of a profile's top: crown rise plus the height of its top layer.
float profile_height(const EndProfile& p) {
    const int n = p.n < 0 ? 0 : (p.n > 6 ? 6 : p.n);
    return p.HS + p.H[n];
}

bool pipe_like(int ityp) { return ityp == T_D || ityp == T_T; }
bool weir_or_wall(int ityp) { return ityp == T_U || ityp == T_W; }

char letter(const Element& e) { return e.bez.empty() ? ' ' : e.bez[0]; }

// A plot number: 3 decimals in a field of 10, without blanks.
std::string num(float v) { return support::trim(support::fmt_f(v, 10, 3)); }

// The profile heights and inverts written for an element: upstream, second
// branch (may be empty), downstream.
struct PlotProfile {
    float profh = 0, profh1 = 0, solo = 0, solu = 0;
    bool second = false;
    float profh2 = 0, sohle2 = 0;
};

PlotProfile plot_profile(const Plant& p, int i) {
    const Element& e = p.el[i];
    const EndProfile& up = e.prof[kProfUp];
    const EndProfile& dn = e.prof[kProfDown];
    const EndProfile& b1 = e.prof[kProfBranch1];
    const EndProfile& b2 = e.prof[kProfBranch2];
    PlotProfile r;
    r.profh = profile_height(up);
    r.solo = up.Z;
    r.profh1 = profile_height(dn);
    r.solu = dn.Z;
    if (e.ityp == T_A && letter(e) == 'A') {
        // A division's downstream end are its two branch profiles.
        r.second = true;
        r.profh2 = profile_height(b2);
        r.sohle2 = b2.Z;
        r.profh1 = profile_height(b1);
        r.solu = b1.Z;
    } else if (e.ityp == T_A && letter(e) == 'V') {
        r.second = true;
        r.profh2 = r.profh1;
        r.sohle2 = r.solu;
    } else if (e.ityp == T_Z && letter(e) == 'Z') {
        // A confluence's upstream end are its two branch profiles; a branch fed
        // by a weir or wall is drawn second when the other one is not.
        const EndProfile* first = &b1;
        const EndProfile* other = &b2;
        const int u1 = e.izu[1], u2 = e.izu[2];
        const bool w1 = u1 > 0 && u1 <= p.nsys && weir_or_wall(p.el[u1].ityp);
        const bool w2 = u2 > 0 && u2 <= p.nsys && weir_or_wall(p.el[u2].ityp);
        if (w1 && !w2) std::swap(first, other);
        r.profh = profile_height(*first);
        r.solo = first->Z;
        r.second = true;
        r.profh2 = profile_height(*other);
        r.sohle2 = other->Z;
    }
    return r;
}

bool is_last(const Plant& p, int i) {
    return i == p.nsys || support::upper(p.el[i].ablauf1) == "ENDE";
}

// Strand numbers ord1..ord3 as written (0 = empty field).
std::array<int, 3> strands(const Plant& p, int i) {
    const Element& e = p.el[i];
    const int own = e.istrang;
    auto strand_of = [&](int k) { return k > 0 && k <= p.nsys ? p.el[k].istrang : 0; };
    switch (e.ityp) {
        case T_V: return {own, 0, own};
        case T_S: return {0, own, own};
        case T_A: return {own, strand_of(e.iab[1]), strand_of(e.iab[2])};
        default: return {own, own, 0};
    }
}

}  // namespace


std::vector<std::array<float, 3>> ground_levels(const RunContext& ctx) {
    const Plant& p = ctx.plant;
    std::vector<std::array<float, 3>> g(static_cast<size_t>(p.nsys) + 1,
                                        {kNoGround, kNoGround, kNoGround});
    // Elements with a ground of their own: the tops of their end profiles.
    for (int i = 1; i <= p.nsys; ++i) {
        if (pipe_like(p.el[i].ityp)) continue;
        const PlotProfile pp = plot_profile(p, i);
        g[i][1] = pp.solo + pp.profh;
        g[i][2] = pp.solu + pp.profh1;
    }
    // Downstream: a pipe takes its upstream ground from its 1st inlet (that
    // inlet's upstream ground when it is a pipe itself, else its downstream one).
    for (int i = 1; i <= p.nsys; ++i) {
        if (!pipe_like(p.el[i].ityp)) continue;
        const int u = p.el[i].izu[1];
        if (u < 1 || u > p.nsys) continue;
        g[i][1] = pipe_like(p.el[u].ityp) ? g[u][1] : g[u][2];
    }
    // Upstream from the last element: a pipe takes its downstream ground from
    // its 1st outlet (that outlet's downstream ground when it is a pipe itself,
    // else its upstream one); a pipe at the end stands on its own profile top.
    for (int i = p.nsys; i >= 1; --i) {
        const Element& e = p.el[i];
        if (!pipe_like(e.ityp)) continue;
        if (is_last(p, i)) {
            g[i][2] = e.prof[kProfDown].Z + profile_height(e.prof[kProfDown]);
            continue;
        }
        const int d = e.iab[1];
        if (d < 1 || d > p.nsys) continue;
        g[i][2] = pipe_like(p.el[d].ityp) ? g[d][2] : g[d][1];
    }
    return g;
}

void o_plot(RunContext& ctx) {
    if (ctx.failed()) return;
    const Plant& p = ctx.plant;
    const std::string file = ctx.run.basePath + "_plot.csv";
    support::AtomicFile out(file);
    std::ostream& f = out.out();
    f << "lfd;visible;bez;zul1;zul2;zul3;abl1;abl2;ord1;ord2;ord3;typ;laenge;profh;profh2;profh1;"
         "schlitzhoehe;solo;sohle2;solu;gelo;gelu;text1;plotweg;\n";
    const auto g = ground_levels(ctx);
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& e = p.el[i];
        const PlotProfile pp = plot_profile(p, i);
        const auto ord = strands(p, i);
        std::string l;
        auto field = [&l](const std::string& s) { l += s; l += ';'; };
        auto ordf = [](int k) { return k > 0 ? std::to_string(k) : std::string(); };
        field(std::to_string(i));
        field(e.plotflag == 'N' ? "False" : "True");
        field(csv_text(e.bez));
        field(csv_text(e.zulauf1));
        field(csv_text(e.zulauf2));
        field("");
        field(is_last(p, i) ? std::string("ENDE") : csv_text(e.ablauf1));
        field(csv_text(e.ablauf2));
        field(ordf(ord[0]));
        field(ordf(ord[1]));
        field(ordf(ord[2]));
        char typ = e.prof[kProfUp].T[1];
        if (typ != 'T' && typ != 'K') {
            const std::string t = support::trim(e.geo.o1.T);
            typ = t.empty() ? 'T' : t[0];
        }
        field(std::string(1, typ));
        field(num(given(e.geo.L) && e.geo.L > 0.0f ? e.geo.L : 0.0f));
        field(num(pp.profh));
        field(pp.second ? num(pp.profh2) : std::string());
        field(num(pp.profh1));
        field(given(e.hve.H) && e.hve.H > 0.001f ? num(e.hve.H) : std::string());
        field(num(pp.solo));
        field(pp.second ? num(pp.sohle2) : std::string());
        field(num(pp.solu));
        field(num(g[i][1]));
        field(num(g[i][2]));
        field(csv_text(e.beschreibung));
        field(csv_text(e.plotweg));
        f << l << '\n';
    }
    finish_file(ctx, out);
}

}  // namespace rivola::output
