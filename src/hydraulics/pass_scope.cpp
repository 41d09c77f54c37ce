#include "hydraulics/pass_scope.h"

#include <bit>

#include "hydraulics/hyawsp.h"

namespace rivola::hyd {

namespace {

void put(std::vector<std::uint32_t>& b, float x) { b.push_back(std::bit_cast<std::uint32_t>(x)); }

void put(std::vector<std::uint32_t>& b, const BranchState& s) {
    for (float x : {s.z, s.h, s.A, s.v, s.dhy, s.I, s.he, s.hR, s.hv}) put(b, x);
}

template <class Slots>
void put_remarks(std::string& r, const Slots& bem) {
    for (const std::string& s : bem) r += s, r += '|';
}

// Elements that are computed in every pass: a division moves its split on
// while its branches disagree, and the pipes of a siphon weir are computed
// as one from its last pipe to its first.
bool every_pass(const Plant& p, const Element& e) {
    return e.ityp == T_A || (e.ityp == T_D && p.heber.present);
}

}  // namespace

// What the elements upstream of element i take from it: the state at its
// inlet end, the states at the inlets of a confluence, and whether a weir
// flows free or submerged.
void PassScope::hold(const RunContext& ctx, int i, Held& h) {
    const Plant& p = ctx.plant;
    const Element& e = p.el[i];
    h.bits.clear();
    h.remarks.clear();
    const EndResult& r = e.res[2];
    for (float x : {r.Q, r.z, r.h, r.A, r.v, r.dhy, r.I, r.he, r.Tau}) put(h.bits, x);
    put_remarks(h.remarks, r.bem);
    const size_t k = static_cast<size_t>(e.iord);
    if (e.ityp == T_Z && k < p.zus.size()) {
        for (const BranchState& b : p.zus[k].inlet) put(h.bits, b);
    } else if (e.ityp == T_U && k < p.ueb.size()) {
        put(h.bits, p.ueb[k].submerged);
        h.remarks += p.ueb[k].kind;
    }
}

void PassScope::prepare(int n) {
    const size_t m = static_cast<size_t>(n) + 1;
    q_.assign(m, {0.0f, 0.0f});
    moved_.assign(m, 1);
    leaves_.assign(m, {});
}

bool PassScope::needed(const RunContext& ctx, int pass, int i) const {
    const Plant& p = ctx.plant;
    const Element& e = p.el[i];
    if (pass == 0 || every_pass(p, e)) return true;
    const auto& q = q_[static_cast<size_t>(i)];
    if (std::bit_cast<std::uint32_t>(q[0]) != std::bit_cast<std::uint32_t>(e.res[1].Q) ||
        std::bit_cast<std::uint32_t>(q[1]) != std::bit_cast<std::uint32_t>(e.res[2].Q))
        return true;
    for (int j = 1; j <= 2; ++j) {
        const int d = e.iab[j];
        if (d >= 1 && d <= p.nsys && moved_[static_cast<size_t>(d)]) return true;
    }
    return false;
}

void PassScope::resume(RunContext& ctx, Walker& w) const {
    if (w.left > 0) ctx.cs = leaves_[static_cast<size_t>(w.left)];
    w.left = 0;
}

void PassScope::after(const RunContext& ctx, Walker& w, int i) {
    hold(ctx, i, w.after);
    const Element& e = ctx.plant.el[i];
    q_[static_cast<size_t>(i)] = {e.res[1].Q, e.res[2].Q};
    moved_[static_cast<size_t>(i)] = !(w.after == w.before);
    leaves_[static_cast<size_t>(i)] = ctx.cs;
}

}  // namespace rivola::hyd
