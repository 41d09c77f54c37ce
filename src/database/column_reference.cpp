#include "database/column_reference.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "support/m_strings.h"

namespace rivola::input {

using support::trim;
using support::upper;

namespace {

// Which elements read which columns, as the set-up and the element
// computations take them: every element has its upstream profile 1; weirs
// and walls have no downstream profile and no length; divisions (A) have
// their branch profiles in u1 and u2, confluences (Z) in o1 and o2.
constexpr const char* kAll = "*";
constexpr const char* kWithLength = "GDBVSQRTMPE";
constexpr const char* kRough = "GDBVSRM";
constexpr const char* kDownstream1 = "GDBVSQRTMPAZE";
constexpr const char* kZeta1 = "GDBQRWTMAZ";

struct Builder {
    std::vector<ColumnRef> cols;
    ColumnRef& add(const char* table, std::string name, ColumnKind kind, const char* group,
                   std::string de, std::string en, const char* unit = "", const char* types = kAll) {
        ColumnRef c;
        c.table = table;
        c.name = std::move(name);
        c.kind = kind;
        c.group = group;
        c.de = std::move(de);
        c.en = std::move(en);
        c.unit = unit;
        c.types = types;
        cols.push_back(c);
        return cols.back();
    }
};

ColumnRef& width(ColumnRef& c, int w) {
    c.width = w;
    return c;
}
ColumnRef& range(ColumnRef& c, double lo, double hi) {
    c.bounded = true;
    c.lo = lo;
    c.hi = hi;
    return c;
}

constexpr double kHuge = 1e9;

void base_settings(Builder& b) {
    const char* t = "tbl_all";
    width(b.add(t, "Titel", ColumnKind::Text, "all", "Titel der Anlage, bis zu drei Zeilen (je 40 Zeichen)",
                "title of the plant, up to three lines (40 characters each)"),
          199);
    b.add(t, "Vmin", ColumnKind::Real, "all", "kleinste Fließgeschwindigkeit für Warnungen",
          "smallest flow velocity for warnings", "m/s");
    b.add(t, "Vmax", ColumnKind::Real, "all", "größte Fließgeschwindigkeit für Warnungen",
          "largest flow velocity for warnings", "m/s");
    b.add(t, "Bmin", ColumnKind::Real, "all", "kleinste Gerinnebreite für Warnungen",
          "smallest conduit width for warnings", "m");
    b.add(t, "Bmax", ColumnKind::Real, "all", "größte Gerinnebreite für Warnungen",
          "largest conduit width for warnings", "m");
    b.add(t, "Hmin", ColumnKind::Real, "all", "kleinste Gerinnehöhe für Warnungen",
          "smallest conduit height for warnings", "m");
    b.add(t, "Hmax", ColumnKind::Real, "all", "größte Gerinnehöhe für Warnungen",
          "largest conduit height for warnings", "m");
    b.add(t, "Lmax", ColumnKind::Real, "all", "größte Elementlänge für Warnungen",
          "largest element length for warnings", "m");
    b.add(t, "DIFFmax", ColumnKind::Real, "all", "größter Sohlhöhenunterschied der Anlage für Warnungen (leer: 10 m)",
          "largest difference of invert levels in the plant for warnings (blank: 10 m)", "m");
    b.add(t, "Zeilen", ColumnKind::Integer, "all", "Zeilen je Listenseite (unter 61: 60)",
          "lines per listing page (below 61: 60)");
    b.add(t, "Bezug", ColumnKind::Real, "all", "Bezugshöhe der Sohlhöhen (negativ: 0)",
          "datum of the invert levels (negative: 0)", "m NN");
    b.add(t, "Wasserstand", ColumnKind::Real, "all", "Wasserspiegel am Ablauf der Anlage (unteres Randwert)",
          "water level at the plant outlet (downstream boundary)", "m NN");
    width(b.add(t, "Q_ls", ColumnKind::Text, "all",
                "Einheit der Zuflüsse: J, Y oder leer = l/s, jeder andere Buchstabe = m³/h",
                "unit of the inflows: J, Y or blank = l/s, any other letter = m³/h"),
          1);
    for (const char* a : {"AnhangERG", "AnhangERK", "AnhangQVE"})
        width(b.add(t, a, ColumnKind::Text, "all", std::string("Anhangsbezeichnung der Liste ") + (a + 6),
                    std::string("appendix label of the listing ") + (a + 6)),
              19);
    b.add(t, "datum", ColumnKind::Date, "all", "Datum der Variante", "date of the variant").optional = true;
    ColumnRef& fb = range(b.add(t, "Freibord", ColumnKind::Real, "all",
                                "geforderter Freibord bis zur Oberkante (leer: keine Prüfung)",
                                "freeboard required below the top (blank: not checked)", "m"),
                          0, 100);
    fb.optional = true;
}

void links_and_flags(Builder& b) {
    const char* t = "tbl_rvldaten";
    b.add(t, "id", ColumnKind::Integer, "key", "Zeilennummer der Tabelle", "row identity of the table");
    b.add(t, "er", ColumnKind::Integer, "key", "Reihenfolge der Elemente in Fließrichtung",
          "order of the elements in the direction of flow")
        .required = kAll;
    b.add(t, "sr", ColumnKind::Integer, "key", "zweiter Sortierschlüssel (gelesen, nicht verwendet)",
          "second sort key (read, not used)");
    ColumnRef& bez = width(b.add(t, "bez", ColumnKind::Text, "key",
                                 "Name des Elements; der erste Buchstabe ist der Elementtyp",
                                 "name of the element; its first letter is the element type"),
                           12);
    bez.required = kAll;
    width(b.add(t, "zulauf1", ColumnKind::Text, "links", "Name des 1. Zulaufelements",
                "name of the 1st inlet element"),
          12);
    width(b.add(t, "zulauf2", ColumnKind::Text, "links", "Name des 2. Zulaufelements (Zusammenfluss)",
                "name of the 2nd inlet element (confluence)", "", "ZS"),
          12);
    width(b.add(t, "ablauf1", ColumnKind::Text, "links",
                "Name des 1. Ablaufelements; ENDE beim letzten Element der Anlage",
                "name of the 1st outlet element; ENDE at the last element of the plant"),
          12)
        .required = kAll;
    width(b.add(t, "ablauf2", ColumnKind::Text, "links", "Name des 2. Ablaufelements (Aufteilung)",
                "name of the 2nd outlet element (division)", "", "AV"),
          12);
    width(b.add(t, "beschreibung", ColumnKind::Text, "element",
                "Beschreibung; #HEBER kennzeichnet Heberwehre (D), #SCHUETZ Schütze (W)",
                "description; #HEBER marks siphon weirs (D), #SCHUETZ sluice gates (W)"),
          26);
    ColumnRef& q = b.add(t, "Q", ColumnKind::Real, "element",
                         "Zufluss (positiv) oder Entnahme (negativ), Einheit nach Q_ls",
                         "inflow (positive) or take-out (negative), unit after Q_ls", "l/s", "Q");
    q.required = "Q";
    width(b.add(t, "plotweg", ColumnKind::Text, "output", "Plotweg des Elements",
                "plot path of the element"),
          1);
    width(b.add(t, "tz", ColumnKind::Text, "output", "Listenkennung", "listing flag"), 1);
    width(b.add(t, "np", ColumnKind::Text, "output", "J: Element wird nicht geplottet",
                "J: the element is not plotted"),
          1);
    width(b.add(t, "out_erk", ColumnKind::Text, "output", "J: Element in der Liste *.ERK; X: zweite Listenkennung",
                "J: element in the *.ERK listing; X: second listing flag"),
          1);
    width(b.add(t, "out_tau", ColumnKind::Text, "output", "J: Detailergebnis des Tauchrohrs",
                "J: detailed result of the immersion tube", "", "T"),
          1);
    b.add(t, "aufteilung1", ColumnKind::Real, "element",
          "Aufteilung: Anteil in % zum 1. Ablauf, fester Abfluss (l/s) oder negativ geforderter Abfluss",
          "division: share in % to the 1st outlet, fixed discharge (l/s) or, negative, required discharge",
          "% / l/s", "AV");
    b.add(t, "aufteilung2", ColumnKind::Real, "element",
          "Aufteilung: Anteil in % zum 2. Ablauf oder negativ Abflussgrenze des 2. Ablaufs",
          "division: share in % to the 2nd outlet or, negative, discharge bound of the 2nd outlet", "% / l/s",
          "AV");
    b.add(t, "geloescht", ColumnKind::Integer, "key", "Löschkennung: 0 oder leer = Element gilt",
          "deletion mark: 0 or blank = the element is live");
}

void geometry(Builder& b) {
    const char* t = "tbl_rvldaten";
    range(b.add(t, "GEO_L", ColumnKind::Real, "element", "Länge des Elements", "length of the element", "m",
                kWithLength),
          0, kHuge)
        .required = "BVSM";
    range(b.add(t, "GEO_K", ColumnKind::Real, "element",
                "Rauheit: k in mm (0,01 bis 5) oder Strickler-Beiwert (20 bis 100); leer: die des Elements davor",
                "roughness: k in mm (0.01 to 5) or Strickler coefficient (20 to 100); blank: that of the element before",
                "mm / m^(1/3)/s", kRough),
          0, 100.1);
    range(b.add(t, "GEO_C", ColumnKind::Real, "element", "Borda-Verlustbeiwert des Übergangs (1. Ablauf)",
                "Borda loss coefficient of the transition (1st outlet)", "", kAll),
          0, 2);
    range(b.add(t, "GEO_C2", ColumnKind::Real, "element", "Borda-Verlustbeiwert zum 2. Ablauf (Aufteilung)",
                "Borda loss coefficient to the 2nd outlet (division)", "", "A"),
          0, 2);
    // the four profiles: o = upstream end, u = downstream end, digit = branch
    struct End {
        const char* lo;
        const char* up;
        const char* digit;
        const char* group;
        const char* de;
        const char* en;
        const char* types;
        const char* required;
    };
    const End ends[4] = {
        {"o", "O", "1", "o1", "Profil oben 1 (Zulaufende; Zusammenfluss: 1. Zulauf)",
         "upstream profile 1 (inlet end; confluence: 1st inlet)", kAll, kAll},
        {"u", "U", "1", "u1", "Profil unten 1 (Ablaufende; Aufteilung: 1. Ablauf)",
         "downstream profile 1 (outlet end; division: 1st outlet)", kDownstream1, "AZ"},
        {"o", "O", "2", "o2", "Profil oben 2 (Zusammenfluss: 2. Zulauf)", "upstream profile 2 (confluence: 2nd inlet)",
         "Z", "Z"},
        {"u", "U", "2", "u2", "Profil unten 2 (Aufteilung: 2. Ablauf)", "downstream profile 2 (division: 2nd outlet)",
         "A", "A"},
    };
    for (const End& e : ends) {
        const std::string d = e.digit, pre = std::string("GEO_");
        const std::string de = std::string(e.de) + ": ", en = std::string(e.en) + ": ";
        b.add(t, pre + "Z" + e.up + d, ColumnKind::Real, e.group, de + "Sohlhöhe", en + "invert level", "m NN",
              e.types)
            .required = e.required;
        ColumnRef& ty = width(b.add(t, pre + e.lo + "T" + d, ColumnKind::Text, e.group,
                                    de + "Profiltyp: T Trapez/Rechteck, K Kreis",
                                    en + "profile type: T trapezoid/rectangle, K circle", "", e.types),
                              1);
        ty.letters = "TK";
        range(b.add(t, pre + e.lo + "HS" + d, ColumnKind::Real, e.group, de + "Stichhöhe des Scheitels",
                    en + "rise of the crown", "m", e.types),
              0, kHuge);
        for (int k = 1; k <= 5; ++k) {
            const std::string n = std::to_string(k);
            range(b.add(t, pre + e.lo + "H" + d + n, ColumnKind::Real, e.group, de + "Höhe des Knickpunkts " + n,
                        en + "height of break point " + n, "m", e.types),
                  0, kHuge);
            range(b.add(t, pre + e.lo + "B" + d + n, ColumnKind::Real, e.group, de + "Breite am Knickpunkt " + n,
                        en + "width at break point " + n, "m", e.types),
                  0, kHuge);
        }
    }
}

void losses(Builder& b) {
    const char* t = "tbl_rvldaten";
    range(b.add(t, "HVE_HVE", ColumnKind::Real, "losses", "Verlusthöhe des Rechens", "head loss of the screen",
                "m", "R"),
          0, kHuge);
    for (int k = 1; k <= 6; ++k) {
        const std::string n = std::to_string(k);
        const char* types = k == 1 ? kZeta1 : "DAZ";
        b.add(t, "HVE_zeta" + n, ColumnKind::Real, "losses",
              "Verlustbeiwert " + n + (k == 1 ? " (1. Zulauf)" : " (Druckleitung: Formstück; A/Z: Tabelle 1. Zweig)"),
              "loss coefficient " + n + (k == 1 ? " (1st inlet)" : " (pressure pipe: fitting; A/Z: table, 1st branch)"),
              "", types);
    }
    for (int k = 1; k <= 6; ++k) {
        const std::string n = std::to_string(k);
        b.add(t, "HVE_zeta" + n + "_2", ColumnKind::Real, "losses",
              "Verlustbeiwert " + n + " des 2. Zweigs (Druckleitung: Formstück)",
              "loss coefficient " + n + " of the 2nd branch (pressure pipe: fitting)", "", "DAZ");
    }
    range(b.add(t, "HVE_mue", ColumnKind::Real, "losses",
                "Überfallbeiwert (U: 0,5 bis 0,81) oder Ausflussbeiwert der Öffnungen (W)",
                "weir coefficient (U: 0.5 to 0.81) or discharge coefficient of the openings (W)", "", "UW"),
          0, 1);
    range(b.add(t, "HVE_n_c", ColumnKind::Real, "losses", "Exponent der Überfallformel (1,39 bis 16,1)",
                "exponent of the weir formula (1.39 to 16.1)", "", "U"),
          1.39, 16.1);
    range(b.add(t, "HVE_H", ColumnKind::Real, "losses",
                "Höhe: Wehrhöhe (U), Öffnungshöhe oder Durchmesser (W, T), Schwellenhöhe (M), Förderhöhe (P)",
                "height: weir height (U), opening height or diameter (W, T), sill height (M), pump head (P)", "m",
                "UWTMP"),
          0, kHuge)
        .required = "P";
    range(b.add(t, "HVE_BU", ColumnKind::Real, "losses", "untere Breite (Wehr, Öffnung, Messrinnenengstelle)",
                "bottom width (weir, opening, throat of the measurement flume)", "m", "UWTM"),
          0, kHuge)
        .required = "M";
    range(b.add(t, "HVE_BO", ColumnKind::Real, "losses", "obere Breite (leer: wie unten)",
                "top width (blank: as the bottom)", "m", "UWTM"),
          0, kHuge);
    range(b.add(t, "HVE_A", ColumnKind::Real, "losses", "Abstand der Öffnungen bzw. Löcher",
                "spacing of the openings or holes", "m", "UWT"),
          0, kHuge);
    ColumnRef& kind = width(b.add(t, "HVE_T", ColumnKind::Text, "losses",
                                  "Form der Öffnung: T Trapez/Rechteck, K Kreis",
                                  "shape of the opening: T trapezoid/rectangle, K circle", "", "UWTM"),
                            1);
    kind.letters = "TK";
    kind.required = "UWM";
    range(b.add(t, "HVE_N", ColumnKind::Integer, "losses", "Anzahl der Öffnungen, Felder oder Rohre",
                "number of openings, bays or tubes", "", "UWT"),
          0, kHuge)
        .required = "T";
    for (int k = 1; k <= 6; ++k) {
        const std::string n = std::to_string(k);
        ColumnRef& c = width(b.add(t, "HVE_ERLAEUTER" + n, ColumnKind::Text, "notes",
                                   "Erläuterung " + n + " der Einzelverluste (Eingabeliste)",
                                   "explanation " + n + " of the single losses (input echo)"),
                             255);
        c.optional = true;
    }
}

void flow_cases(Builder& b) {
    const char* t = "tbl_lastfaelle";
    range(b.add(t, "Nr", ColumnKind::Integer, "case", "Reihenfolge des Lastfalls", "order of the flow case"), 0,
          kHuge);
    width(b.add(t, "Lastfall", ColumnKind::Text, "case", "Name: Buchstaben, Ziffern, _ und -",
                "name: letters, digits, _ and -"),
          16)
        .required = kAll;
    width(b.add(t, "Beschreibung", ColumnKind::Text, "case", "Beschreibung des Lastfalls",
                "description of the flow case"),
          255);
    range(b.add(t, "Faktor", ColumnKind::Real, "case", "Faktor auf alle Zuflüsse (leer: 1)",
                "factor on all inflows (blank: 1)"),
          0, kHuge);
    b.add(t, "Wasserstand", ColumnKind::Real, "case", "Wasserspiegel am Ablauf (leer: der der Variante)",
          "water level at the outlet (blank: that of the variant)", "m NN");
    t = "tbl_lastfall_q";
    width(b.add(t, "Lastfall", ColumnKind::Text, "case", "Name des Lastfalls", "name of the flow case"), 16)
        .required = kAll;
    width(b.add(t, "bez", ColumnKind::Text, "case", "Name des Q-Elements", "name of the Q element"), 12)
        .required = kAll;
    b.add(t, "Q", ColumnKind::Real, "case", "Zufluss im Lastfall, Einheit nach Q_ls",
          "inflow in the flow case, unit after Q_ls", "l/s")
        .required = kAll;
    t = "tbl_lastfall_aufteilung";
    width(b.add(t, "Lastfall", ColumnKind::Text, "case", "Name des Lastfalls", "name of the flow case"), 16)
        .required = kAll;
    width(b.add(t, "bez", ColumnKind::Text, "case", "Name der Aufteilung", "name of the division"), 12)
        .required = kAll;
    b.add(t, "aufteilung1", ColumnKind::Real, "case", "Aufteilung wie in tbl_rvldaten", "division as in tbl_rvldaten",
          "% / l/s");
    b.add(t, "aufteilung2", ColumnKind::Real, "case", "Aufteilung wie in tbl_rvldaten", "division as in tbl_rvldaten",
          "% / l/s");
}

bool same(const std::string& a, const std::string& b) { return upper(a) == upper(b); }

std::string shortest(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Heights above sea level are "m NN" in German and "m a.s.l." in English.
std::string unit_text(const ColumnRef& c, bool en) {
    if (!en) return c.unit;
    if (c.unit == "m NN") return "m a.s.l.";
    return c.unit;
}

std::string html(const std::string& s) {
    std::string o;
    for (char c : s) {
        if (c == '<') o += "&lt;";
        else if (c == '>') o += "&gt;";
        else if (c == '&') o += "&amp;";
        else o += c;
    }
    return o;
}

}  // namespace

const std::vector<ElementType>& element_types() {
    static const std::vector<ElementType> types = {
        {'Q', "Zu-/Ablauf", "in-/outlet",
         "Zufluss (erstes Element der Anlage) oder Entnahme an einer Stelle der Anlage.",
         "Inflow (the first element of the plant) or take-out at a point of the plant.",
         "bez=Q1; ablauf1=G1; Q=100; GEO_ZO1=101.50; GEO_oT1=T; GEO_oH11=1.0; GEO_oB11=0.8"},
        {'G', "Gerinne", "flume",
         "Offenes oder geschlossenes Gerinne; der Wasserspiegel wird über die Länge integriert.",
         "Open or closed flume; the water surface is integrated along its length.",
         "bez=G1; zulauf1=Q1; ablauf1=ENDE; GEO_L=20; GEO_K=70; GEO_ZO1=101.50; GEO_oT1=T; GEO_oH11=1.0; "
         "GEO_oB11=0.8; GEO_ZU1=101.46"},
        {'D', "Druckleitung", "pressure pipe",
         "Leitung unter Druck; die Verlustbeiwerte aller Formstücke werden addiert (#HEBER: Heberwehr).",
         "Pipe under pressure; the loss coefficients of all fittings are added (#HEBER: siphon weir).",
         "bez=D1; GEO_L=35; GEO_K=0.5; GEO_ZO1=100.20; GEO_oT1=K; GEO_oB11=0.6; GEO_ZU1=99.90; HVE_zeta1=0.5; "
         "HVE_zeta2=0.3"},
        {'B', "Becken", "basin", "Becken mit Länge und Querschnitt, z. B. Sandfang oder Belebung.",
         "Basin with length and cross-section, such as a grit chamber or an aeration tank.",
         "bez=B1; GEO_L=40; GEO_K=1.5; GEO_ZO1=98.0; GEO_oT1=T; GEO_oH11=4.0; GEO_oB11=8.0"},
        {'V', "Verteilrinne", "distribution flume",
         "Rinne, die seitlich über Wehre oder Wände verteilt; mit 2. Ablauf zugleich Aufteilung.",
         "Flume that distributes sideways over weirs or walls; with a 2nd outlet also a division.",
         "bez=V1; GEO_L=6; GEO_K=70; GEO_ZO1=100.0; GEO_oT1=T; GEO_oH11=1.0; GEO_oB11=0.6"},
        {'S', "Sammelrinne", "collection flume",
         "Rinne, die seitlich zufließendes Wasser sammelt; mit 2. Zulauf zugleich Zusammenfluss.",
         "Flume that collects water flowing in sideways; with a 2nd inlet also a confluence.",
         "bez=S1; GEO_L=6; GEO_K=70; GEO_ZO1=99.5; GEO_oT1=T; GEO_oH11=0.8; GEO_oB11=0.5"},
        {'R', "Rechen", "screen", "Rechen mit Verlusthöhe (HVE_HVE) oder Verlustbeiwert (HVE_zeta1).",
         "Screen with a head loss (HVE_HVE) or a loss coefficient (HVE_zeta1).",
         "bez=R1; GEO_L=1; GEO_K=70; GEO_ZO1=101.50; GEO_oT1=T; GEO_oH11=1.0; GEO_oB11=0.8; HVE_zeta1=0.9"},
        {'U', "Überfall", "weir",
         "Überfallwehr; Breite, Höhe und Felder in den HVE-Spalten, sonst vom Profil oben 1.",
         "Weir; width, height and bays in the HVE columns, otherwise from upstream profile 1.",
         "bez=U1; GEO_ZO1=100.0; GEO_oT1=T; GEO_oH11=0.5; GEO_oB11=2.0; HVE_T=T; HVE_mue=0.64; HVE_BU=2.0"},
        {'W', "Wand", "wall", "Wand mit Öffnungen (#SCHUETZ: Schütz mit Strahleinschnürung).",
         "Wall with openings (#SCHUETZ: sluice gate with contraction of the jet).",
         "bez=W1; GEO_ZO1=100.0; GEO_oT1=T; GEO_oH11=1.0; GEO_oB11=2.0; HVE_T=T; HVE_H=0.3; HVE_BU=0.4; HVE_N=2"},
        {'T', "Tauchrohr", "immersion tube", "Gelochtes Tauchrohr; Anzahl der Rohre in HVE_N.",
         "Perforated immersion tube; number of tubes in HVE_N.",
         "bez=T1; GEO_L=3; GEO_ZO1=100.0; GEO_oT1=K; GEO_oB11=0.3; HVE_N=1"},
        {'M', "Messrinne", "measurement flume", "Rechteckige Messrinne mit Engstelle (HVE_BU) und Schwelle (HVE_H).",
         "Rectangular measurement flume with a throat (HVE_BU) and a sill (HVE_H).",
         "bez=M1; GEO_L=3; GEO_K=70; GEO_ZO1=100.0; GEO_oT1=T; GEO_oH11=1.0; GEO_oB11=1.0; HVE_T=T; HVE_BU=0.4"},
        {'P', "Pumpe", "pump", "Pumpe; hebt das Wasser um die Förderhöhe HVE_H.",
         "Pump; lifts the water by the head HVE_H.",
         "bez=P1; GEO_ZO1=98.0; GEO_oT1=T; GEO_oH11=2.0; GEO_oB11=2.0; HVE_H=4.0"},
        {'A', "Aufteilung", "division",
         "Aufteilung auf zwei Abläufe: frei iteriert, in Prozent, fester oder geforderter Abfluss.",
         "Division into two outlets: iterated freely, in percent, fixed or required discharge.",
         "bez=A1; ablauf1=G2; ablauf2=G3; GEO_ZO1=100.0; GEO_oT1=T; GEO_ZU1=99.98; GEO_uT1=T; GEO_ZU2=99.98; "
         "GEO_uT2=T"},
        {'Z', "Zusammenfluss", "confluence", "Zusammenfluss zweier Zuläufe.", "Confluence of two inlets.",
         "bez=Z1; zulauf1=G4; zulauf2=G5; GEO_ZO1=99.9; GEO_oT1=T; GEO_ZO2=99.9; GEO_oT2=T; GEO_ZU1=99.9; "
         "GEO_uT1=T"},
        {'E', "Durchlaufelement", "pass-through element",
         "Wird als Zu- und Ablaufname angenommen, bei der Berechnung aber übergangen.",
         "Accepted as an inlet and outlet name but passed over in the computation.", "bez=E1"},
    };
    return types;
}

const ElementType* element_type(char letter) {
    for (const ElementType& t : element_types())
        if (t.letter == letter) return &t;
    return nullptr;
}

const std::vector<ColumnRef>& column_reference() {
    static const std::vector<ColumnRef> ref = [] {
        Builder b;
        base_settings(b);
        links_and_flags(b);
        geometry(b);
        losses(b);
        flow_cases(b);
        return b.cols;
    }();
    return ref;
}

std::vector<const ColumnRef*> table_columns(const std::string& table) {
    std::vector<const ColumnRef*> out;
    for (const ColumnRef& c : column_reference())
        if (same(c.table, table)) out.push_back(&c);
    return out;
}

const ColumnRef* find_column_ref(const std::string& table, const std::string& column) {
    for (const ColumnRef& c : column_reference())
        if (same(c.table, table) && same(c.name, column)) return &c;
    return nullptr;
}

bool known_table(const std::string& table) { return !table_columns(table).empty(); }

bool column_used_by(const ColumnRef& c, char letter) {
    return c.types == kAll || c.types.find(letter) != std::string::npos;
}

bool column_required_for(const ColumnRef& c, char letter) {
    return c.required == kAll || (!c.required.empty() && c.required.find(letter) != std::string::npos);
}

bool check_cell(const ColumnRef& c, const std::string& text, bool required, bool english, std::string& value,
                std::string& reason) {
    const std::string s = c.kind == ColumnKind::Text ? text : trim(text);
    value = s;
    reason.clear();
    if (trim(s).empty() && c.kind != ColumnKind::Text) {
        if (required) reason = english ? "a value is required" : "ein Wert ist erforderlich";
        value.clear();
        return !required;
    }
    switch (c.kind) {
        case ColumnKind::Text: {
            if (required && trim(s).empty()) {
                reason = english ? "a value is required" : "ein Wert ist erforderlich";
                return false;
            }
            // characters, not bytes: UTF-8 continuation bytes do not count
            int chars = 0;
            for (unsigned char ch : s) chars += (ch & 0xC0) != 0x80;
            if (c.width > 0 && chars > c.width) {
                reason = (english ? "too long: " : "zu lang: ") + std::to_string(chars) +
                         (english ? " characters, at most " : " Zeichen, höchstens ") + std::to_string(c.width);
                return false;
            }
            if (!c.letters.empty() && !trim(s).empty() && c.letters.find(trim(s)[0]) == std::string::npos) {
                std::string allowed;
                for (char l : c.letters) allowed += (allowed.empty() ? "" : ", ") + std::string(1, l);
                reason = (english ? "allowed are " : "zulässig sind ") + allowed +
                         (english ? " or blank" : " oder leer");
                return false;
            }
            return true;
        }
        case ColumnKind::Integer:
        case ColumnKind::Real: {
            std::string n = s;
            const size_t comma = n.find(',');
            if (comma != std::string::npos && n.find('.') == std::string::npos && n.find(',', comma + 1) == std::string::npos)
                n[comma] = '.';
            double v = 0;
            const char* b = n.c_str();
            const char* e = b + n.size();
            if (*b == '+') ++b;
            const auto r = std::from_chars(b, e, v);
            if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v)) {
                reason = english ? "not a number" : "keine Zahl";
                return false;
            }
            if (c.kind == ColumnKind::Integer) {
                if (v != std::floor(v) || std::fabs(v) > 2147483647.0) {
                    reason = english ? "not a whole number" : "keine ganze Zahl";
                    return false;
                }
                value = std::to_string(static_cast<long long>(v));
            } else {
                value = shortest(v);
            }
            if (c.bounded && (v < c.lo - 1e-9 || v > c.hi + 1e-9)) {
                if (c.hi >= kHuge)
                    reason = (english ? "below " : "kleiner als ") + shortest(c.lo);
                else
                    reason = (english ? "outside " : "außerhalb ") + shortest(c.lo) + " .. " + shortest(c.hi);
                return false;
            }
            return true;
        }
        case ColumnKind::Date: {
            int y = 0, m = 0, d = 0;
            char tail = 0;
            if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) == 3 ||
                std::sscanf(s.c_str(), "%2d.%2d.%4d%c", &d, &m, &y, &tail) == 3) {
                if (y >= 1 && m >= 1 && m <= 12 && d >= 1 && d <= 31) {
                    char buf[32];
                    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y % 10000, m, d);
                    value = buf;
                    return true;
                }
            }
            // a date with its time as the databases give it
            if (s.size() > 10 && s[10] == ' ') {
                std::string day;
                if (check_cell(c, s.substr(0, 10), false, english, day, reason)) {
                    value = day + s.substr(10);
                    return true;
                }
            }
            reason = english ? "not a date (YYYY-MM-DD or DD.MM.YYYY)" : "kein Datum (JJJJ-MM-TT oder TT.MM.JJJJ)";
            return false;
        }
    }
    return false;
}

std::string column_ddl(const ColumnRef& c) {
    std::string s = "\"" + c.name + "\" ";
    switch (c.kind) {
        case ColumnKind::Integer: s += same(c.name, "id") ? "integer primary key" : "integer"; break;
        case ColumnKind::Real: s += "double"; break;
        case ColumnKind::Date: s += "Date"; break;
        case ColumnKind::Text: s += c.width > 0 ? "varchar(" + std::to_string(c.width) + ")" : "text"; break;
    }
    return s;
}

std::string element_help_file(char letter, bool english) {
    return std::string("RIVOLAW_typ_") + letter + (english ? "_en" : "") + ".html";
}

std::string element_help_page(char letter, bool en) {
    const ElementType* t = element_type(letter);
    if (!t) return {};
    std::string s = "<html><head><meta charset=\"utf-8\"><title>" + std::string(1, letter) + " - " +
                    (en ? t->en : t->de) + "</title></head><body>\n";
    s += "<h1>" + std::string(1, letter) + ": " + (en ? t->en : t->de) + "</h1>\n<p>" +
         html(en ? t->about_en : t->about_de) + "</p>\n";
    s += "<h2>" + std::string(en ? "Columns of tbl_rvldaten" : "Spalten von tbl_rvldaten") + "</h2>\n";
    s += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr><th>" + std::string(en ? "column" : "Spalte") +
         "</th><th>" + (en ? "meaning" : "Bedeutung") + "</th><th>" + (en ? "unit" : "Einheit") + "</th><th>" +
         (en ? "allowed" : "zulässig") + "</th><th>" + (en ? "required" : "erforderlich") + "</th></tr>\n";
    for (const ColumnRef* c : table_columns("tbl_rvldaten")) {
        if (!column_used_by(*c, letter)) continue;
        std::string allowed;
        if (!c->letters.empty())
            for (char l : c->letters) allowed += (allowed.empty() ? "" : ", ") + std::string(1, l);
        else if (c->bounded)
            allowed = shortest(c->lo) + " .. " + (c->hi >= kHuge ? std::string("") : shortest(c->hi));
        else if (c->kind == ColumnKind::Text && c->width > 0)
            allowed = std::to_string(c->width) + (en ? " characters" : " Zeichen");
        s += "<tr><td><code>" + c->name + "</code></td><td>" + html(en ? c->en : c->de) + "</td><td>" +
             html(unit_text(*c, en)) + "</td><td>" + html(allowed) + "</td><td>" +
             (column_required_for(*c, letter) ? (en ? "yes" : "ja") : "") + "</td></tr>\n";
    }
    s += "</table>\n<h2>" + std::string(en ? "Example" : "Beispiel") + "</h2>\n<p><code>" + html(t->example) +
         "</code></p>\n";
    s += "<p><a href=\"" + std::string(en ? "RIVOLAW_typen_en.html" : "RIVOLAW_typen.html") + "\">" +
         (en ? "All element types" : "Alle Elementtypen") + "</a></p>\n</body></html>\n";
    return s;
}

std::string column_help_index(bool en) {
    std::string s = "<html><head><meta charset=\"utf-8\"><title>" +
                    std::string(en ? "Element types and columns" : "Elementtypen und Spalten") +
                    "</title></head><body>\n<h1>" + (en ? "Element types and columns" : "Elementtypen und Spalten") +
                    "</h1>\n<ul>\n";
    for (const ElementType& t : element_types())
        s += "<li><a href=\"" + element_help_file(t.letter, en) + "\">" + std::string(1, t.letter) + ": " +
             (en ? t.en : t.de) + "</a></li>\n";
    s += "</ul>\n";
    for (const char* table : {"tbl_all", "tbl_lastfaelle", "tbl_lastfall_q", "tbl_lastfall_aufteilung"}) {
        s += "<h2>" + std::string(table) + "</h2>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
        for (const ColumnRef* c : table_columns(table))
            s += "<tr><td><code>" + c->name + "</code></td><td>" + html(en ? c->en : c->de) + "</td><td>" +
                 html(unit_text(*c, en)) + "</td></tr>\n";
        s += "</table>\n";
    }
    return s + "</body></html>\n";
}

}  // namespace rivola::input
