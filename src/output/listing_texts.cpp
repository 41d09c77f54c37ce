#include "output/listing_texts.h"

#include <array>

#include "model/context.h"

namespace rivola::output {

namespace {

struct Pair {
    std::string de, en;
};

const std::array<Pair, static_cast<size_t>(Tx::Count_)>& table() {
    static const std::array<Pair, static_cast<size_t>(Tx::Count_)> t = {{
        // PageWord
        {"Seite", "page "},
        // FooterIdent
        {"Wasserspiegellagenberechnung für Kläranlagen",
         "Hydraulic profile of wastewater treatment plants"},
        // BannerERG .. BannerEEF: the text inside the row of "="
        {"Ergebnisdatei (*.ERG)", "Results (*.ERG)"},
        {"Ergebnisdatei (*.ERK)", "Results (*.ERK)"},
        {"Durchflussverteilung (*.QVE)", "Division of flows (*.QVE)"},
        {"Energieeffizienz (*.EEF)", "energy efficiency (*.EEF)"},
        // ErgHead1..4
        {" I Kennung       OI AbflussI Länge I Sohle    Rand  Wasserspiegel Fläche Geschw. "
         "E-Höhe S.schubI     Verluste      I Bemerkungen I",
         " I Element     Or-I Flow-  ILength I Invert   Board Water Water   Wetted  Flow   "
         "Energy Shear  I Hydraulic losses  I Comment     I"},
        {" I               rI    Q   I   L   I   z      hges   h     WSP      A      v      "
         "E      TAUo  I kont. einz. Überg.I             I",
         " I             derI rate   Iof     I level    level level level   cross-  velo-  "
         "level  stress I Wall  Inst- Inter-I             I"},
        {" I               dI  m3/s  I   m   I müNN      m     m    müNN     m2     m/s    "
         "müNN    N/m2  I  m       m     m  I             I",
         " I                I        IElementI                              section city    "
         "             I frict. all. sect. I             I"},
        {"",  // the German header has three lines
         " I                I  m3/s  I   m   I  masl     m     m     masl    m2     m/s     "
         "masl   N/m2  I  m       m     m  I             I"},
        // QveHead1..3
        {" I Kennung        OI                   Berechnete Durchflüsse und Verlustbeiwerte "
         "               I",
         " I Element        OI                 Calculated flow rates and loss coefficients  "
         "               I"},
        {" I                rI 1. Zu-/Ablauf                        I 2. Zu-/Ablauf        "
         "                I",
         " I                rI 1. In-/Output                        I 2. In-/Output        "
         "                I"},
        {" I                dI Baustein     O.I  m3/s I   %  I ZETA I Baustein     O.I  m3/s "
         "I   %  I ZETA I",
         " I                dI Element      O.I  m3/s I   %  I ZETA I Element      O.I  m3/s "
         "I   %  I ZETA I"},
        // EefHead1..3
        {" I Kennung       OI Beschreibung            I   Abfluss I   Förder- I  Verlust- "
         "I Pumpleist.I  Verluste I",
         " I Element     Or-I Description             I  Flowrate I  Pressure I  Hydralic "
         "I Pump PowerI Power LossI"},
        {" I               rI                         I           I      höhe I      höhe "
         "I           I           I",
         " I             derI                         I           I    Height I      Loss "
         "I           I           I"},
        {" I               dI                         I      m³/s I         m I         m "
         "I        kW I        kW I",
         " I                I                         I      m³/s I         m I         m "
         "I        kW I        kW I"},
        // LegendTitle, LegendSteps
        {"  Bemerkungen: ", "  Remarks:     "},
        {" Iterationsschritte", " Iteration steps"},
        // EefLegend1, EefLegend2, EefLegend2kW
        {"  Bemerkungen: - Pp (Summe): Pumpleistung einschließlich direkt angeschlossener "
         "Druckleitungen (D-Element)",
         "  Remarks: - Pp (sum): Pumps including all directly attached pressure pipes "
         "(element type D)"},
        {"               - Pv (Summe): theoretischer Leistungsverlust, nur Pv > ",
         "           - Pv (sum): accumulated potential lost power, only Pv > "},
        {" kW", " kW"},
        // EefSum
        {"Summe", "Sum"},
        // LabelFree, LabelFixed, LabelQmin, LabelQ2 (division settings, 7 columns)
        {"frei", "free"},
        {"fest", "fixed"},
        {"Q1,min", "Q1,min"},
        {"Q2,max", "Q2,max"},
        // SysTitle, SysHead
        {" erweiterte Systemlogik", " extended flow path"},
        {" Element      Zulauf       Ablauf       Q (l/s) ISYS  IZU  IAB ISTR     Qmin     Qmax",
         " Element      Inlet        Outlet       Q (l/s) ISYS  IZU  IAB ISTR     Qmin     Qmax"},
    }};
    return t;
}

const LegendRow kLegend[] = {
    {"ü", "Gerinne läuft über",
     "Channel overflow or underwater level higher than weir crown but total overflow"},
    {"", "bzw. Unterwasserstand > Schwellenhöhe bei vollkommenem Überfall", ""},
    {"u", "Wasserstand liegt unterhalb der Schwelle des anschließenden Überfalls",
     "Head water level under level of weir crown"},
    {"d", "Druckabfluss", "Pressure flow"},
    {"gr", "Grenztiefe/schießender Abfluss am Abschnittsende",
     "Supercritical/torrential flow at lower cross section"},
    {"dE", "Energiehöhendifferenz bei vorgegebener Aufteilung",
     "No convergence of energy level in case of a given division of flow"},
    {"v/V", "Mindest-/Maximalgeschwindigkeiten unter-/überschritten",
     "Minimum/maximum velocity warning"},
    {"uv", "unvollkommener Überfall/unvollkommener (rückgestauter) Venturikanal",
     "Submerged overflow at weir or no critical depth in venturi channel"},
    {"he", "Differenzhöhe der Wasserspiegeldifferenzschaltung reicht nicht aus",
     "Difference of water levels for the water level control is insufficient"},
    {"FS", "Freispiegelabfluss in Zu-/Ablaufwand bzw. im geschlossenen Querschnitt",
     "Gravity flow at element with closed cross section"},
    {"**", "nicht durchströmte Endquerschnitte von Verteil- und Sammelrinnen",
     "No flow at outlet of distribution or collection channel"},
    {"µ'", "unvollkommener Überfall berechnet mit Überfallformel",
     "Submerged overflow calculated by weir formula"},
    {"µ", "Wandöffnung mit Freispiegelabfluss berechnet mit Ausflussformel",
     "orifice with gravity flow calculated by sluice formula"},
    {"Hw", "Heberwehr", "syphon"},
    {"Kv", "Kavitation (h < -7.00 m)", "cavitation (\"Waterlevel\"  < -7.00 m)"},
};

}  // namespace

const std::string& tx(bool english, Tx id) {
    const Pair& p = table()[static_cast<size_t>(id)];
    return english ? p.en : p.de;
}

const std::string& tx(const RunContext& ctx, Tx id) { return tx(ctx.english(), id); }

const LegendRow* legend_rows(int& n) {
    n = static_cast<int>(sizeof kLegend / sizeof kLegend[0]);
    return kLegend;
}

}  // namespace rivola::output
