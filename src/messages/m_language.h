// m_language: the texts of the user interface shell in German and English:
// the numbered screen messages of the run's screen log, the menu labels with
// their commands, and the few dialog texts that the calculation hands to the
// shell in German and that are translated on the way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rivola::ui {

// True when a language setting selects English texts (contains "ENGL");
// everything else is German.
bool is_english(std::string_view language);

// One numbered screen message. Fixed messages are shown as they stand; in
// composed ones the placeholders «1», «2», «3» take the caller's texts and «P»
// the spaced-out program name, «V» the version. '\n' starts a new line.
struct ScreenMessage {
    int key;
    bool composed;
    const char* de;
    const char* en;
};

// The table of all screen messages, one row per key.
const std::vector<ScreenMessage>& screen_messages();
// The row of a key, or nullptr when the key is not in the table.
const ScreenMessage* find_screen_message(int key);

// Text written for a key that is in neither table.
inline constexpr std::string_view kUnknownScreenMessage = "Fehleingabe in screen_DLGedit!!!";

// Composes the screen message of a key in a language; the result may hold
// several lines separated by '\n'. Caller texts are right-trimmed and cut to
// 200 characters; each line is cut to 1000 characters.
std::string compose_screen_message(std::string_view language, std::string_view programName,
                                   std::string_view version, int key, std::string_view t1 = {},
                                   std::string_view t2 = {}, std::string_view t3 = {});

// The program name with a blank after each letter ("R I V O L A ").
std::string spaced_name(std::string_view programName);

// The text in the current language: German texts are returned unchanged; in
// English the known German dialog texts are replaced by their English twins
// and any other text is returned unchanged.
std::string translate_txt(std::string_view language, std::string_view text);

// Dialog texts of the shell.
inline constexpr std::string_view kFileDialogTitle = "Auswahl der Variante über *.MDB-Datei";
inline constexpr std::string_view kViewCheckList = "Wollen Sie die Fehler/Warnungen anschauen?";
inline constexpr std::string_view kPrintCheckList = "Drucken der Fehler/Warnungen";

// The menu commands of the main window.
enum Command : int {
    kCmdRun = 100,
    kCmdConfiguration = 101,
    kCmdInfo = 102,
    kCmdExit = 16385,
    kCmdHelp = 16386,
};

struct MenuLabel {
    int command;
    const char* de;
    const char* en;
};

// The menu labels by command, one row per command.
const std::vector<MenuLabel>& menu_labels();
// The label of a command in a language ("" for an unknown command).
std::string menu_label(std::string_view language, int command);
// The command that a menu text stands for in a language; 0 when the text is
// none of the labels of that language.
int menu_command(std::string_view language, std::string_view text);

// Further texts of the menu: the entry that chooses a variant and starts the
// run ("Auswahl eines RIVOLA-Datensatzes und Programmaufruf"), and the entry
// that leaves the program.
std::string menu_open_text(std::string_view language, std::string_view programName);
std::string menu_exit_text(std::string_view language);

}  // namespace rivola::ui
