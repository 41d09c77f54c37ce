#include "hydraulics/freeboard.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "messages/m_rivola_error.h"
#include "hydraulics/hyawsp_util.h"
#include "support/m_strings.h"

namespace rivola::hyd {

namespace {

bool carries_flow(const EndResult& r) { return std::fabs(r.Q) > 1e-9f; }

std::string metres(float v) { return support::trim(support::fmt_f(v, 10, 3)) + " m"; }
std::string centimetres(float v) { return support::trim(support::fmt_f(100.0f * v, 10, 1)) + " cm"; }

std::string end_name(int end, bool en) {
    if (en) return end == 1 ? "outlet end" : "inlet end";
    return end == 1 ? "Ablaufende" : "Zulaufende";
}

}  // namespace

bool has_channel_top(const Element& e) { return e.ityp != T_U && e.ityp != T_W && e.ityp != T_T; }

const EndProfile& end_profile(const Element& e, int end) { return e.prof[end == 2 ? kProfUp : kProfDown]; }

std::optional<float> end_freeboard(const Plant& p, int i, int end) {
    if (i < 1 || i > p.nsys) return std::nullopt;
    const Element& e = p.el[i];
    const EndProfile& pr = end_profile(e, end);
    if (pr.T[0] != 'o' || !has_channel_top(e) || !carries_flow(e.res[end])) return std::nullopt;
    return profile_top(pr) - e.res[end].h;
}

bool surcharged(const Plant& p, int i, int end) {
    if (i < 1 || i > p.nsys) return false;
    const Element& e = p.el[i];
    if (e.ityp == T_D || !has_channel_top(e)) return false;
    const EndProfile& pr = end_profile(e, end);
    return pr.T[0] == 'g' && carries_flow(e.res[end]) && e.res[end].h > profile_top(pr);
}

void check_freeboard(RunContext& ctx) {
    const Plant& p = ctx.plant;
    const bool en = ctx.english();
    // every message raises the run's level (the summary leaves it)
    auto warn = [&ctx](const char* code, const std::string& t1, const std::string& t2 = {}) {
        ctx.run.ierr = std::max(ctx.run.ierr, checks::fehler(ctx, code, t1, t2));
    };
    float required = p.all.Freibord;
    if (required != kMissing && !(required >= 0.0f)) {
        warn("F05", metres(required));
        required = kMissing;
    }
    const bool asked = required != kMissing;
    int over = 0, shortEnds = 0, ends = 0;
    float least = 0.0f;
    int leastAt = 0, leastEnd = 0;
    for (int i = 1; i <= p.nsys; ++i) {
        const Element& e = p.el[i];
        for (int end = 1; end <= 2; ++end) {
            const EndResult& r = e.res[end];
            const float top = r.z + profile_top(end_profile(e, end));
            if (surcharged(p, i, end)) {
                warn("F02", e.bez,
                               end_name(end, en) + (en ? ": water level " : ": Wasserspiegel ") + metres(r.WSP()) +
                                   (en ? ", crown " : ", Scheitel ") + metres(top) + (en ? ", " : ", um ") +
                                   centimetres(r.WSP() - top) + (en ? " above it" : " darüber"));
            }
            const std::optional<float> f = end_freeboard(p, i, end);
            if (!f) continue;
            ++ends;
            if (leastAt == 0 || *f < least) {
                least = *f;
                leastAt = i;
                leastEnd = end;
            }
            if (r.h > profile_top(end_profile(e, end))) {
                ++over;
                warn("F01", e.bez,
                               end_name(end, en) + (en ? ": water level " : ": Wasserspiegel ") + metres(r.WSP()) +
                                   (en ? ", top " : ", Oberkante ") + metres(top) + (en ? ", overtopped by " : ", Überstau ") +
                                   centimetres(r.WSP() - top));
            } else if (asked && *f < required) {
                ++shortEnds;
                warn("F03", e.bez,
                               end_name(end, en) + (en ? ": freeboard " : ": Freibord ") + metres(*f) +
                                   (en ? ", required " : ", gefordert ") + metres(required));
            }
        }
    }
    if (ends == 0 || (!asked && over == 0)) return;
    const std::string where = metres(least) + (en ? " at " : " bei ") + p.el[leastAt].bez + " (" +
                              end_name(leastEnd, en) + ")";
    std::string count;
    if (asked)
        count = std::to_string(over + shortEnds) + (en ? " of " : " von ") + std::to_string(ends) +
                (en ? " open ends short of the required " : " offenen Enden unter dem geforderten Freibord von ") +
                metres(required) + (en ? " freeboard" : "");
    else
        count = std::to_string(over) + (en ? " of " : " von ") + std::to_string(ends) +
                (en ? " open ends overtopped; no freeboard required" : " offenen Enden laufen über; kein Freibord gefordert");
    warn("F04", where, count);
}

}  // namespace rivola::hyd
