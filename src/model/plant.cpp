#include "model/plant.h"
#include "support/constants.h"

#include <cmath>

namespace rivola {

int ityp_of_letter(char c) {
    switch (c) {
        case 'G': return T_G;
        case 'D': return T_D;
        case 'B': return T_B;
        case 'V': return T_V;
        case 'S': return T_S;
        case 'Q': return T_Q;
        case 'R': return T_R;
        case 'U': return T_U;
        case 'W': return T_W;
        case 'T': return T_T;
        case 'M': return T_M;
        case 'P': return T_P;
        case 'A': return T_A;
        case 'Z': return T_Z;
        default: return T_NONE;
    }
}

int type_capacity(int ityp) {
    switch (ityp) {
        case T_G: return cmn::maxG;
        case T_D: return cmn::maxD;
        case T_B: return cmn::maxB;
        case T_V: return cmn::maxV;
        case T_S: return cmn::maxS;
        case T_Q: return cmn::maxQ;
        case T_R: return cmn::maxR;
        case T_U: return cmn::maxU;
        case T_W: return cmn::maxW;
        case T_T: return cmn::maxT;
        case T_M: return cmn::maxM;
        case T_P: return cmn::maxP;
        case T_A: return cmn::maxA;
        case T_Z: return cmn::maxZ;
        default: return 0;
    }
}

float q_factor(const std::string& q_ls) {
    const char c = q_ls.empty() ? ' ' : q_ls[0];
    if (c == 'J' || c == 'j' || c == 'Y' || c == 'y' || c == ' ') return 0.001f;
    return 1.0f / 3600.0f;
}

bool division_setting(float a1, float a2, int& niter, DivisionSetting& s, bool& percentOk) {
    s = DivisionSetting{};
    percentOk = true;
    const bool g1 = given(a1), g2 = given(a2);
    const bool nn1 = g1 && a1 > -kTiny, nn2 = g2 && a2 > -kTiny;
    if (!g1 && !g2) {                       // free division
        s.iter = ++niter;
        return true;
    }
    if (nn1 && nn2) {                       // percentage split
        s.fixed = true;
        s.value = 0.01f * a1;
        percentOk = std::fabs(a1 + a2 - 100.0f) <= 0.1f;
        return true;
    }
    if (nn1 && !g2) {                       // fixed discharge into the 1st outlet
        s.fixed = true;
        s.fixedQ1 = true;
        s.value = 0.001f * a1;
        return true;
    }
    if (g1 && !nn1 && !g2) {                // required discharge in the 1st outlet
        s.requiredQ1 = true;
        s.value = 0.001f * std::fabs(a1);
        s.iter = ++niter;
        return true;
    }
    if (!g1 && g2 && !nn2) {                // discharge value for the 2nd outlet
        s.valueQ2 = true;
        s.value = 0.001f * std::fabs(a2);
        s.iter = ++niter;
        return true;
    }
    return false;
}

void Plant::resize(int n) {
    nsys = n;
    el.assign(static_cast<size_t>(n) + 1, Element{});
}

int i_elmnt(const Plant& p, int type, int n) {
    if (n < 1) return 0;
    if (n > p.nsys) n = p.nsys;
    int k = 0;
    for (int i = 1; i <= n; ++i)
        if (p.el[i].ityp == type) ++k;
    return k;
}

int indtyp(const Plant& p, int type, int n) { return i_elmnt(p, type, n); }

int indsys(const Plant& p, int type, int k) {
    if (k < 1) return 0;
    int c = 0;
    for (int i = 1; i <= p.nsys; ++i)
        if (p.el[i].ityp == type && ++c == k) return i;
    return 0;
}

void indx(Plant& p, int n) {
    p.ntyp.fill(0);
    if (n > p.nsys) n = p.nsys;
    for (int i = 1; i <= n; ++i) {
        const Element& e = p.el[i];
        if (e.ityp > 0 && e.ityp <= kMaxItyp) ++p.ntyp[e.ityp];
        const char c = e.bez.empty() ? ' ' : e.bez[0];
        if (e.ityp == T_A && c == 'V') ++p.ntyp[T_V];
        if (e.ityp == T_Z && c == 'S') ++p.ntyp[T_S];
    }
}

}  // namespace rivola
