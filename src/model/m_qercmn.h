// m_qercmn: the current cross-section, the one working set through which the
// element computations and the hydraulic formulas exchange the profile being
// computed and the hydraulic state handed from element to element.
//
// Tables are 1-based (slot 0 unused): break points 1..n+1 (point 1 is the
// bottom), berm zones 1..3, section slots 1 (previous section) and 2 (current
// section).
#pragma once

#include <array>
#include <string>

namespace rivola::hyd {

inline constexpr int kMaxPoints = 12;   // break points of a loaded profile
inline constexpr int kMaxBerms = 3;     // berm zones of one section
inline constexpr float kNotSet = 1.0e30f;

// One berm zone: the energy curve between the berm height z0 and the upper
// bound z2 is replaced by two parabolas hE(h) = c0 + c1 h + c2 h^2 (piece 1 for
// z0 <= h < z1, piece 2 for z1 <= h < z2), the conveyance by a straight line
// Kc(h) = k0 + k1 h.
struct BermZone {
    float z0 = kNotSet, z1 = kNotSet, z2 = kNotSet;
    std::array<float, 3> c1{};       // piece 1: c0, c1, c2
    std::array<float, 3> c2{};       // piece 2: c0, c1, c2
    float k0 = 0.0f, k1 = 0.0f;      // conveyance line
    float s0 = 0.0f;                 // slope of the energy curve at z0
    float E0 = 0.0f;                 // energy height just below z0
    int ip = 0;                      // break point where the berm starts
};

// Hydraulic state of one section.
struct Section {
    float z = 0;                     // invert level
    float Q = 0;                     // discharge
    float h = 0;                     // water depth
    float A = 0;                     // flow area (equivalent area in a berm zone)
    float Ag = 0;                    // geometric area
    float B = 0;                     // surface width
    float v = 0;                     // velocity
    float dhy = 0;                   // hydraulic diameter
    float I = 0;                     // friction slope
    float he = 0;                    // energy height above the section's invert
    float P = 0;                     // hydrostatic force per unit density
};


// The shape of the loaded section, for the closed-form area and width of the
// simple ones: a full circular pipe, an open or a closed rectangle, or any
// other polygon (with a circular bottom) evaluated layer by layer.
enum class SectionShape { Other, CircularPipe, OpenRectangle, ClosedRectangle };

struct Qercmn {
    // ---- the loaded profile ----
    int loaded = 0;                  // element whose profile is loaded, 0 = none
    char T[2] = {' ', ' '};          // type characters of the loaded profile
    SectionShape typ = SectionShape::Other;
    int n = 0;                       // number of segments
    std::array<float, kMaxPoints + 1> H{};  // heights above the invert, 1..n+1
    std::array<float, kMaxPoints + 1> B{};  // widths
    std::array<float, kMaxPoints + 1> A{};  // area below H(i)
    std::array<float, kMaxPoints + 1> U{};  // wetted perimeter below H(i)
    float K = 0;                     // sand roughness (m) if <= 19, else Strickler
    float D = 0;                     // diameter of the circular bottom arc
    float Dtop = 0;                  // diameter of the crown arch
    float X = 0;                     // crown rise
    float Htop = 0;                  // apex height X + H(n+1)

    // ---- element values at the loaded position ----
    float L = 0;                     // element length
    float I0 = 0;                    // bed slope (Z(2) - Z(1)) / L
    std::array<float, 3> Zend{};     // inverts of the two end profiles
    float Zx = 0, Qx = 0;            // invert and discharge at the position
    float f = 0;                     // position as a fraction of the length
    float c = 0;                     // Borda coefficient at the entry
    float hve = 0;                   // single-loss head
    float zeta1 = 0;                 // loss coefficient
    bool ident = false;              // both end profiles equal
    bool toponly = false;            // they differ at most in the top height
    bool similar = false;            // proportional end profiles
    bool plain = false;              // constant discharge along the element

    // ---- critical values (hgrenz) and full heights (hzu) ----
    float hc = 0, hEc = 0, Ac = 0, Bc = 0, dc = 0;
    std::array<float, 3> hfull{};    // full height at node 1 and node 2
    float hvoll = 9999.9f;           // full height at the position

    // ---- berm zones (chkbrm, berme) ----
    std::array<BermZone, kMaxBerms + 1> brm{};
    int nbrm = 0;

    // ---- wetted perimeter of the last geometric evaluation (qerhya) ----
    float Uw = 0;

    // ---- section state: 1 previous section, 2 current section ----
    std::array<Section, 3> sec{};
    float dx = 0;                    // step length (signed)
    float dz = 0;                    // invert rise Zx - Z(previous section)
    float vin = 0;                   // velocity at the element's entry
    float hR = 0, hB = 0, hL = 0;    // friction, Borda and local loss of the step
    float dE = 0;                    // energy deficit below the critical energy (hvonhe)
    float surplus = 0;               // energy the last energy-equation step held at
                                     // critical depth carries above what it requires

    // ---- state handed from element to element ----
    float vab = 0;                   // velocity at the element's outlet
    float len = 0;                   // current length
    float hvk = 0;                   // current friction loss
    std::array<std::string, 6> bem;  // current remark slots 1..5 ("gr", "ü ", "d " ...)
};

}  // namespace rivola::hyd
