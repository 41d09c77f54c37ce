// Program start of the desktop program: the program-wide settings taken at
// start (program name, language, help file, start date, command line) and
// the program entry rw_main.
#pragma once

#include <string>
#include <vector>

namespace rivola::ui {

struct ShellSettings {
    std::string programName = "RIVOLA  ";  // 8 characters, blank-padded
    std::string language = "DEUTSCH";      // "DEUTSCH" or "ENGLISH"
    std::string version = RIVOLA_VERSION;  // from the build
    std::string helpPath;                  // the help page next to the program
    std::string startDate;                 // " dd.mm.yyyy"
    std::vector<std::string> params;       // the command line as typed
    int autoRun = 0;                       // 1: start a run at once
    int dbWait = 60;                       // seconds to wait for a locked results database
    std::string badOption;                 // what was wrong on the command line, told at start
    bool batch = false;                    // --batch: no dialog waits, the window closes at the end
    bool drawing = true;                   // --no-drawing: no profile drawing after a run
};

// Name of the help page; the English page is used when it exists.
inline constexpr const char* kHelpFile = "RIVOLAW.html";
inline constexpr const char* kHelpFileEnglish = "RIVOLAW_en.html";

// The settings of a program started as exePath with the given parameters on
// the given date ("dd.mm.yyyy"). Any parameter that contains "ENGLISH" in any
// case selects English; at least one parameter starts a run at once.
// "--db-wait=SECONDS" (0..86400), "--batch" and "--no-drawing" are the
// program's own options, not parameters of the run; a bad waiting time keeps
// the default and is noted in badOption.
ShellSettings shell_settings(const std::string& exePath, const std::vector<std::string>& args,
                             const std::string& date);

// Loads Qt's own texts (standard buttons, file dialog) in the program's
// language; English needs none.
void use_qt_translations(const std::string& language);

// The program entry: builds the window, starts the run of a command line and
// turns the event loop until the user leaves the program; returns 0 then.
int rw_main(int argc, char** argv);

}  // namespace rivola::ui
