// The plant model: the one in-memory description of the variant being computed.
//
// Tables are indexed from 1, as the element numbers isys = 1..nsys and the type
// ordinals k = 1..n of the hydraulic routines are; slot 0 of every table is unused.
// Storage is sized to the plant at read time (resize), the capacities of the
// model are the limits in `cmn` and are enforced by the checks.
//
// Texts are held right-trimmed: a comparison of two trimmed texts equals the
// comparison of the blank-padded fixed-width fields they stand for.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/m_rivola_aufzus.h"
#include "model/m_rivola_mes.h"
#include "model/m_rivola_pumpe.h"
#include "model/m_rivola_rec.h"
#include "model/m_rivola_tau.h"
#include "model/m_rivola_ueb.h"
#include "model/m_rivola_wand.h"
#include "model/m_rivola_wsp.h"
#include "model/sources.h"

namespace rivola {

// m_rivola_cmn: fixed limits of the model.
namespace cmn {
// The tables grow with the plant; these bounds keep a plant within what a
// run computes in reasonable time and memory (a pass costs time in
// proportion to the elements).
inline constexpr int maxsys = 100000;  // system elements
inline constexpr int maxG = 12000, maxD = 12000, maxB = 12000;
inline constexpr int maxV = 4000, maxS = 4000;
inline constexpr int maxQ = 8000, maxR = 2000, maxU = 4000, maxW = 12000;
inline constexpr int maxT = 2000, maxM = 2000, maxP = 2000;
inline constexpr int maxA = 6000, maxZ = 6000;
inline constexpr int maxIter = 6000;   // free (iterated) divisions
inline constexpr int maxHeber = 5;     // siphon weirs
inline constexpr int maxLayers = 5;    // layer fields per profile
}  // namespace cmn

// Missing-value convention: a numeric value not given is held as -999999.0;
// a value is given when it is not below -999998.0.
inline constexpr float kMissing = -999999.0f;
inline constexpr float kMissingN = -999.0f;  // HVE_N when NULL
inline bool given(float v) { return !(v < -999998.0f); }

// Element type numbers.
enum Ityp : int {
    T_NONE = 0,
    T_G = 1, T_D = 2, T_B = 3, T_V = 4, T_S = 5,
    T_Q = 10, T_R = 11, T_U = 12, T_W = 13, T_T = 14, T_M = 15, T_P = 16,
    T_A = 21, T_Z = 22,
};
inline constexpr int kMaxItyp = 22;
inline constexpr const char* kTypeLetters = "ABDEGMPQRSTUVWZ";

// Type number of a type letter, V and S without regard to their connections.
int ityp_of_letter(char c);
// Capacity of the per-type table of a type number (0 for an unknown type).
int type_capacity(int ityp);

// One cross-section profile as it comes from the GEO columns of tbl_rvldaten.
struct GeoProfileInput {
    float Z = kMissing;             // invert elevation
    std::string T;                  // profile type "T" or "K" (1 character)
    float HS = kMissing;            // rise of the crown arch
    std::array<float, cmn::maxLayers + 1> H{};  // layer heights, 1..5
    std::array<float, cmn::maxLayers + 1> B{};  // layer widths, 1..5
    GeoProfileInput() { H.fill(kMissing); B.fill(kMissing); }
};

// GEO data of an element: length, roughness, Borda coefficients and the four
// profiles: o1 (upstream 1), u1 (downstream 1), o2 (upstream 2), u2 (downstream 2).
struct GeoInput {
    float L = kMissing, K = kMissing, C = kMissing, C2 = kMissing;
    GeoProfileInput o1, u1, o2, u2;
};

// HVE data of an element: single losses, openings, weirs, pumps.
struct HveInput {
    float HVE = kMissing;
    std::array<float, 7> zeta1{};   // 1..6, 1st inlet
    std::array<float, 7> zeta2{};   // 1..6, 2nd inlet
    float mue = kMissing, n_c = kMissing, H = kMissing, BU = kMissing, BO = kMissing,
          A = kMissing;
    std::string T;                  // single-loss kind letter (1 character)
    float N = kMissingN;            // count, held as a real
    std::array<std::string, 7> erlaeuter;  // explanation lines 1..6 for the echo (blank: none)
    HveInput() { zeta1.fill(kMissing); zeta2.fill(kMissing); }
};

// A cross-section profile of an element: type characters, invert, crown rise and
// break points. The set-up fills T, Z, HS, the layer pairs H(1..5), B(1..5) and the
// layer count n from the GEO columns; hyd::profil then normalises it in place
// (bottom point 0, pairs moved down when the first one describes the bottom, n =
// index of the highest valid break point).
struct EndProfile {
    char T[2] = {' ', ' '};          // 'o'/'g' open or closed; 'K'/'T'/other bottom
    float Z = 0.0f;                  // invert level
    float HS = 0.0f;                 // crown rise (0 = flat lid)
    std::array<float, 7> H{};        // heights of break points 0..6 above the invert
    std::array<float, 7> B{};        // widths of break points 0..6
    int n = 0;                       // number of segments
};

// Slots of Element::prof.
inline constexpr int kProfDown = 1;   // downstream end profile (outlet end, node 1, x = 0)
inline constexpr int kProfUp = 2;     // upstream end profile (inlet end, node 2, x = L)
inline constexpr int kProfBranch1 = 3;  // branch 1 of a division or confluence
inline constexpr int kProfBranch2 = 4;  // branch 2 of a division or confluence

// Results of the water-level computation at one end of an element
// (index 1 = outlet end, 2 = inlet end).
struct EndResult {
    float Q = 0, z = 0, h = 0, A = 0, v = 0, dhy = 0, I = 0, he = 0, Tau = 0;
    float Qmin = 0, Qmax = 0;        // discharge bounds that the network allows (m3/s)
    std::array<std::string, 6> bem;  // remark slots 1..5, two characters each
    float E() const { return z + he; }
    float WSP() const { return z + h; }
};

// One system element (m_rivola_system plus its GEO, HVE and result data).
struct Element {
    std::string bez;                 // name, 12 characters; first letter = type
    std::string zulauf1, zulauf2;    // inlet names
    std::string ablauf1, ablauf2;    // outlet names ("ENDE" marks the last element)
    std::string beschreibung;        // description, 40 characters
    std::string bez_lang;            // designation used in messages, 62 characters
    int source = 0;                  // 0 variant, k k-th component
    float Q = kMissing;              // inflow/take-out in database units
    std::string plotweg;             // plot path
    char plotflag = 'Y';             // 'N' = left out of the plot data
    char tz = 'N';
    char out_erk = 'N';
    bool erk2 = false;               // second listing flag (out_erk "X"/"x")
    char out_tau = 'N';
    bool tauflag = false;            // immersion-tube output flag
    float aufteilung1 = kMissing, aufteilung2 = kMissing;

    int ityp = 0;
    std::array<int, 3> izu{};        // 1..2
    std::array<int, 3> iab{};        // 1..2
    int istrang = 0;
    float flaenge = 0.0f;
    std::string kurzbez;             // "Heber" / "Schuetz" / blank
    int iord = 0;                    // type ordinal: row in the per-type table of ityp
    bool hveData = false;            // HVE data present (set by the HVE check)

    GeoInput geo;
    HveInput hve;
    // Profiles (slots kProf*): 1 downstream end, 2 upstream end; a division or a
    // confluence keeps its two branch profiles in slots 3 and 4.
    std::array<EndProfile, 5> prof{};

    // values the computations work with, prepared by the set-up: the element
    // length (GEO_L, not below 0), the single-loss head and the loss coefficient
    // of the element (HVE_HVE, HVE_zeta1; 0 when not given). Element computations
    // may change them for the time of a computation (measurement flumes, elements
    // behind a division).
    float hvs = 0, zeta = 0;

    // results
    std::array<EndResult, 3> res{};  // 1 outlet end, 2 inlet end
    float L = 0, HVK = 0, HVE1 = 0, HVU = 0;
};

// m_rivola_all: base settings of the variant.
struct BaseSettings {
    std::array<std::string, 4> titel;  // title lines 1..3, 40 characters each
    float Vmin = kMissing, Vmax = 999999.0f;
    float Bmin = kMissing, Bmax = 999999.0f;
    float Hmin = kMissing, Hmax = 999999.0f;
    float Lmax = 999999.0f;
    float DIFFmax = 10.0f;
    float Bezug = 0.0f;
    float Wasserstand = kMissing;
    float Freibord = kMissing;       // freeboard the plant must keep, m (optional column)
    std::string Q_ls = "J";
    std::string AnhangERG, AnhangERK, AnhangQVE;
    std::string datum;               // "dd.mm.yyyy" or blank
};

// Factor from database discharge units to m3/s: l/s for "J", "j", "Y", "y" or
// blank, otherwise m3/h.
float q_factor(const std::string& q_ls);

// Division setting of one division (ordinal among elements of ityp 21).
struct DivisionSetting {
    bool fixed = false;              // percentage split or fixed discharge
    bool fixedQ1 = false;            // fixed discharge into the 1st outlet
    bool requiredQ1 = false;         // required discharge in the 1st outlet
    bool valueQ2 = false;            // discharge value for the 2nd outlet
    float value = 0.0f;              // fixed value (fraction or m3/s)
    int iter = 0;                    // iteration number, 0 = not iterated
    bool out1WeirOrWall = false;     // V-division: outlet 1 is U or W
    bool out2WeirOrWall = false;     // V-division: outlet 2 is U or W
};

// Confluence flags (S-elements with a second inlet).
struct ConfluenceSetting {
    bool in1WeirOrWall = false;
    bool in2WeirOrWall = false;
};

// Derives the division setting from the division values a1, a2; returns false
// when the combination gives no setting (all flags stay false). `niter` is the
// running count of iterated divisions and is advanced for an iterated one.
// `percentOk` reports whether a1 + a2 = 100 within 0.1 for a percentage split.
bool division_setting(float a1, float a2, int& niter, DivisionSetting& s, bool& percentOk);

// m_rivola_heber: the siphon weirs.
struct SiphonWeirs {
    bool present = false;
    int n = 0;
    std::array<int, cmn::maxHeber + 1> first{}, last{};  // isys of first/last D-element
};

// The plant model.
struct Plant {
    BaseSettings all;
    int Zeilen = 60;                 // m_rivola_output: lines per listing page

    int nsys = 0;
    std::vector<Element> el;         // 1..nsys
    bool anyOutErk = false;          // some element has out_erk = "J"

    // per-type counters (m_rivola_* counters), indexed by ityp 0..22
    std::array<int, kMaxItyp + 1> ntyp{};

    // m_rivola_qzu: inflows of the Q-elements by Q ordinal (m3/s)
    std::vector<float> qzu;          // 1..nQ

    // m_rivola_aufzus: division settings by division ordinal, confluence flags
    std::vector<DivisionSetting> aufteilung;  // 1..nA
    std::vector<ConfluenceSetting> zusammen;  // 1..nZ
    int niter = 0;                   // number of iterated divisions

    SourceTable sources;             // variant and component databases of the elements

    SiphonWeirs heber;
    bool schuetzPresent = false;     // m_rivola_vena_contracta: sluice gates present
    VenaContractaTable vc;           // contraction table of sluice gates

    bool hasAZ = false;              // the plant has divisions or confluences

    // per-type tables by type ordinal (1-based)
    std::vector<DivisionData> auf;   // divisions: branch losses, outlet bounds
    std::vector<ConfluenceData> zus; // confluences: branch losses, inlet flow lengths
    std::vector<WeirData> ueb;       // weirs
    std::vector<WallData> wand;      // walls
    std::vector<TubeData> tau;       // immersion tubes
    std::vector<MeasFlumeData> mes;  // measurement flumes
    std::vector<PumpData> pumpe;     // pumps
    std::vector<ScreenData> rec;     // screens
    bool runtimeLogOpen = false;     // runtime_error.pkl written in this run

    WspTables wsp;                   // results and state of the water-level walk

    Element& e(int isys) { return el[isys]; }
    const Element& e(int isys) const { return el[isys]; }

    // Resizes the element table to n elements (all fields reset).
    void resize(int n);
};

// Lookups over ityp (Part of the plant model).
int i_elmnt(const Plant& p, int type, int n);
int indtyp(const Plant& p, int type, int n);
int indsys(const Plant& p, int type, int k);
void indx(Plant& p, int n);

}  // namespace rivola
