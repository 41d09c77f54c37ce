// Small plants with results filled by hand, for the tests of the result
// tables, the CSV file, the plot data and the input echo.
#pragma once

#include <array>
#include <initializer_list>
#include <string>

#include "model/context.h"

namespace rivola::test {

// A rectangular profile: invert z, one layer of height h and width b, open
// (crown rise 0.00002) or closed with crown rise hs.
inline EndProfile rect(float z, float h, float b, bool closed = false, float hs = 0.00002f) {
    EndProfile p;
    p.T[0] = closed ? 'g' : 'o';
    p.T[1] = 'T';
    p.Z = z;
    p.HS = hs;
    p.n = 1;
    p.H[0] = 0.00002f;
    p.H[1] = h;
    p.B[0] = b;
    p.B[1] = b;
    return p;
}

// Sets the links of element i by name and index.
inline void link(Plant& p, int i, int up1, int down1, int up2 = 0, int down2 = 0) {
    Element& e = p.el[i];
    e.izu = {0, up1, up2};
    e.iab = {0, down1, down2};
    e.zulauf1 = up1 ? p.el[up1].bez : "";
    e.zulauf2 = up2 ? p.el[up2].bez : "";
    e.ablauf1 = down1 ? p.el[down1].bez : "ENDE";
    e.ablauf2 = down2 ? p.el[down2].bez : "";
}

// Elements 1, 2, ... of a plant of that many: name, type and strand.
struct Named {
    const char* name;
    int ityp;
    int strand = 1;
};
inline void elements(Plant& p, std::initializer_list<Named> list) {
    p.resize(static_cast<int>(list.size()));
    int i = 0;
    for (const Named& n : list) {
        Element& e = p.el[++i];
        e.bez = n.name;
        e.ityp = n.ityp;
        e.istrang = n.strand;
    }
}

// Links elements 1, 2, ... in turn: {1st inlet, 1st outlet, 2nd inlet, 2nd outlet}.
inline void links(Plant& p, std::initializer_list<std::array<int, 4>> list) {
    int i = 0;
    for (const auto& l : list) ++i, link(p, i, l[0], l[1], l[2], l[3]);
}

// Links elements 1..n in one line, the last one to the plant's end.
inline void link_line(Plant& p) {
    for (int i = 1; i <= p.nsys; ++i) link(p, i, i - 1, i < p.nsys ? i + 1 : 0);
}

// Fills the end results of element i: section s gets discharge q, invert z,
// depth h, area a, velocity v, energy height he and shear stress tau.
inline void result(Element& e, int s, float q, float z, float h, float a, float v, float he,
                   float tau) {
    EndResult& r = e.res[s];
    r.Q = q;
    r.z = z;
    r.h = h;
    r.A = a;
    r.v = v;
    r.he = he;
    r.Tau = tau;
}

// A plant of n flumes G1, G2, ... in one line on strand 1, 12.5 m long, each
// falling 1 cm and carrying 0.1 m3/s with its results at both ends.
inline void flume_line(Plant& p, int n) {
    p.resize(n);
    for (int i = 1; i <= n; ++i) {
        Element& e = p.el[i];
        e.bez = "G" + std::to_string(i);
        e.ityp = T_G;
        e.istrang = 1;
        e.L = 12.5f;
        e.izu[1] = i - 1;
        e.iab[1] = i < n ? i + 1 : 0;
        const float z = 100.0f - 0.01f * i;
        e.prof[kProfDown] = rect(z - 0.01f, 1.2f, 1.0f);
        e.prof[kProfUp] = rect(z, 1.2f, 1.0f);
        result(e, 2, 0.1f, z, 0.5f, 0.5f, 0.2f, 0.502f, 1.25f);
        result(e, 1, 0.1f, z - 0.01f, 0.505f, 0.505f, 0.198f, 0.507f, 1.2f);
        e.HVK = 0.004f;
        e.HVE1 = 0.0f;
        e.HVU = 0.001f;
    }
}

// Points the run's file names at a directory and a variant name.
inline void place_run(RunContext& ctx, const std::string& dir, const std::string& name) {
    ctx.run.dbDir = dir + "/";
    ctx.run.dbName = name;
    ctx.run.dbExt = ".mdb";
    ctx.run.dbPath = ctx.run.dbDir + name + ".mdb";
    ctx.run.basePath = ctx.run.dbDir + name;
    ctx.run.checkListFile = ctx.run.basePath + ".pkl";
}

}  // namespace rivola::test
