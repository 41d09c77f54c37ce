#include "messages/m_language.h"

#include "support/m_strings.h"

namespace rivola::ui {

using support::rtrim;
using support::ucut;

bool is_english(std::string_view language) { return support::contains(language, "ENGL"); }

const std::vector<ScreenMessage>& screen_messages() {
    // key, composed, German, English
    static const std::vector<ScreenMessage> table = {
        {1, false, "Prüfen der Eingabedaten", "check of input data"},
        {2, false,
         "Energiehöhendifferenzen an Aufteilungen\nkonnten nicht vollständig abgeglichen werden!",
         "differences of energy level at flow divisions \n could not be balanced completely!"},
        {5, true, "«1».ERG", "«1».ERG"},
        {6, true, "«1».ERK (abbrev.)", "«1».ERK (abbrev.)"},
        {7, true, "«1».QVE (A/Z)    ", "«1».QVE (A/Z)    "},
        {10, true,
         "«P» «V»\nHydraulische Berechnung von Kläranlagen\nVariante: «1»",
         "«P» «V»\nhydraulic calculation of wastewater treatment plants\nvariant: «1»"},
        {20, false, "Systemlogik geprüft", "flow path checked"},
        {21, false, "Geometrie geprüft", "geometric data checked"},
        {22, false, "Einzelverluste geprüft", "single losses checked"},
        {26, false, "Hydraulische Berechnung", "Hydraulic calculation"},
        {27, true, "«1»", "«1»"},
        {31, false, "Fehler: Systemlogik", "error: flow path"},
        {32, false, "Fehler: geometrische Angaben", "error: geometric data"},
        {33, false, "Fehler: allgemeine Angaben", "error: general data"},
        {34, false, "Fehler: hydraulischen Verlusten", "error: hydraulic losses"},
        {40, false,
         "Fehler: Beim letzten Systemelement muss beim 1. Ablauf \"ENDE\" eingetragen sein!",
         "error: At the last system element the 1st outlet must be named \"ENDE\"!"},
        {50, false, "Fehler: Durchfluss-Austeilung", "error: division of discharge"},
        {80, true,
         "Fehler: Der Energiehöhenabgleich wurde nach «1:5»\nIterationsschleifen vorzeitig beendet!",
         "error: The balance of energy level has been stopped early after «1:5»\niterationssteps!"},
        {81, true,
         "Fehler: Bei «1» liegt\nTeilfüllung vor. Die Berechnung von\n"
         "Tauchrohrabzügen erfolgt nur bei Vollfüllung.",
         "error: At «1» the immersion tube\nis filled partly. Immersion tubes\n"
         "are computed at full filling only."},
        {82, false,
         "Fehler: Das aktuelle Profil weißt mehr als 3 Bermen-\nbereiche auf. Eine größere Anzahl "
         "ist in\nRIVOLA bisher nicht vorgesehen.",
         "error:  A cross section with more than 3 berms is not accepted."},
        {84, true,
         "Iteration in «1»/Regula Falsi Iterationsschritte > 1000 !\n"
         "Bitte an Marlow Wasserbau wenden!",
         "iteration in «1»/Regula Falsi iteration steps > 1000 !\nContact Marlow Wasserbau!"},
        {90, true, "Warten auf die Ergebnisdatenbank … («1» von «2» s)",
         "waiting for the results database … («1» of «2» s)"},
        {91, true, "Nicht gespeichert: «1»\n  Ursache: «2»", "not stored: «1»\n  reason: «2»"},
        {92, true, "Datei eines früheren Laufs entfernt: «1»", "file of an earlier run removed: «1»"},
        {101, true, "Abbruch durch FKTHYA/«1»!\nBitte an Marlow Wasserbau wenden!",
         "abort by FKTHYA/«1»!\nContact Marlow Wasserbau!"},
        {102, false,
         "Abbruch durch GAUSS: Anzahl der Gleichungen > Maximum\nBitte an Marlow Wasserbau wenden!",
         "abort by GAUSS: number of equations > Maximum\nContact Marlow Wasserbau!"},
        {103, false,
         "Abbruch durch GAUSS: Vektoren der Koeffizientenmatrix nicht ausreichend "
         "dimensioniert!\nBitte an Marlow Wasserbau wenden!",
         "abort by GAUSS: range of vectors in coefficient matrix too less!\n"
         "Contact Marlow Wasserbau!"},
        {104, false, "Abbruch durch GAUSS: singuläre Matrix!\nBitte an Marlow Wasserbau wenden!",
         "abort by GAUSS: singular matrix!\nContact Marlow Wasserbau!"},
        {105, false,
         "Iteration in HOBEN > 1000 Iterationsschritte!\nBitte an Marlow Wasserbau wenden!",
         "iteration in HOBEN > 1000 iteration steps!\nContact Marlow Wasserbau!"},
        {106, false,
         "Iteration in TANGNT > 1000 Iterationsschritte!\nBitte an Marlow Wasserbau wenden!",
         "iteration in TANGNT > 1000 iteration steps!\nContact Marlow Wasserbau!"},
    };
    return table;
}

const ScreenMessage* find_screen_message(int key) {
    for (const auto& m : screen_messages())
        if (m.key == key) return &m;
    return nullptr;
}

std::string spaced_name(std::string_view programName) {
    std::string r;
    for (char c : support::trim(programName)) {
        r += c;
        r += ' ';
    }
    return r;
}

namespace {

// Cuts every line of a text to at most 1000 characters.
std::string cut_lines(const std::string& text) {
    std::string out;
    size_t pos = 0;
    while (true) {
        const size_t nl = text.find('\n', pos);
        const std::string_view line = std::string_view(text).substr(
            pos, nl == std::string::npos ? std::string::npos : nl - pos);
        out += ucut(line, 1000);
        if (nl == std::string::npos) break;
        out += '\n';
        pos = nl + 1;
    }
    return out;
}

}  // namespace

std::string compose_screen_message(std::string_view language, std::string_view programName,
                                   std::string_view version, int key, std::string_view t1,
                                   std::string_view t2, std::string_view t3) {
    const ScreenMessage* m = find_screen_message(key);
    if (!m) return std::string(kUnknownScreenMessage);
    const std::string_view pattern = is_english(language) ? m->en : m->de;
    if (!m->composed) return cut_lines(std::string(pattern));

    const std::string texts[3] = {ucut(rtrim(t1), 200), ucut(rtrim(t2), 200),
                                  ucut(rtrim(t3), 200)};
    std::string out;
    static constexpr std::string_view open = "«", close = "»";
    size_t pos = 0;
    while (pos < pattern.size()) {
        const size_t b = pattern.find(open, pos);
        if (b == std::string_view::npos) {
            out += pattern.substr(pos);
            break;
        }
        out += pattern.substr(pos, b - pos);
        const size_t e = pattern.find(close, b);
        const std::string_view ph = pattern.substr(b + open.size(), e - b - open.size());
        if (ph == "P") {
            out += spaced_name(programName);
        } else if (ph == "V") {
            out += support::trim(version);
        } else if (!ph.empty() && ph[0] >= '1' && ph[0] <= '3') {
            const std::string& t = texts[ph[0] - '1'];
            // «n:w»: the text right-aligned in w columns (numbers such as a pass count).
            if (ph.size() > 2 && ph[1] == ':')
                out += support::rpad(support::trim(t), std::stoul(std::string(ph.substr(2))));
            else
                out += t;
        }
        pos = e + close.size();
    }
    return cut_lines(out);
}

std::string translate_txt(std::string_view language, std::string_view text) {
    if (!is_english(language)) return std::string(text);
    struct Twin {
        std::string_view de, en;
    };
    static constexpr Twin twins[] = {
        {kFileDialogTitle, "Choice of the variant via *.MDB file"},
        {kViewCheckList, "view checklist?"},
        {kPrintCheckList, "Print errors/warnings"},
    };
    for (const auto& t : twins)
        if (t.de == text) return std::string(t.en);
    return std::string(text);
}

const std::vector<MenuLabel>& menu_labels() {
    static const std::vector<MenuLabel> table = {
        {kCmdRun, "Ausführen", "File"},
        {kCmdConfiguration, "Konfiguration", "Configuration"},
        {kCmdInfo, "Info", "Info"},
        {kCmdExit, "Beenden", "Exit"},
        {kCmdHelp, "Hilfe", "Help"},
    };
    return table;
}

std::string menu_label(std::string_view language, int command) {
    for (const auto& l : menu_labels())
        if (l.command == command) return is_english(language) ? l.en : l.de;
    return {};
}

int menu_command(std::string_view language, std::string_view text) {
    const std::string t = support::trim(text);
    for (const auto& l : menu_labels())
        if (t == (is_english(language) ? l.en : l.de)) return l.command;
    return 0;
}

std::string menu_open_text(std::string_view language, std::string_view programName) {
    const std::string name = support::trim(programName);
    if (is_english(language)) return "Open a " + name + "-Database and Start Program";
    return "Auswahl eines " + name + "-Datensatzes und Programmaufruf";
}

std::string menu_exit_text(std::string_view language) {
    return is_english(language) ? "Exit program" : "Programm verlassen";
}

}  // namespace rivola::ui
