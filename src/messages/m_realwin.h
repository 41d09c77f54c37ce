// m_realwin: how the calculation talks to the user while it runs: the screen
// log, message boxes, the yes/no question, the cancel question and the closing
// dialog with the check list. Everything goes through the ui::Services of the
// run context, so the same run works in the window program and on the command
// line; without services the calls do nothing (questions are answered "no").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/context.h"

namespace rivola::ui {

// Writes screen message `key` in the program's language to the screen log,
// one log line per text line. `line` is the caller's line number of the log;
// the log is append-only, so it only documents the caller's intent.
void screen_dlgedit(RunContext& ctx, int key, int line = 0, std::string_view t1 = {},
                    std::string_view t2 = {}, std::string_view t3 = {});

// The text in the program's language (see translate_txt of m_language).
std::string translate_txt(const RunContext& ctx, std::string_view text);

// Titles that choose the kind of message box.
inline constexpr std::string_view kTitleQuestion = "Frage?";
inline constexpr std::string_view kTitleFatal = "Abbruch!!!";
inline constexpr std::string_view kFatalCaption =
    "Schwerer Fehler: Nach <OK> erfolgt Programmabbruch!";

// Shows a message; the kind follows from the title. "Frage?": a yes/no
// question, `answer` becomes "Ja" or "No" and the result is 1 for yes, 0 for
// no. "Abbruch!!!": a fatal error; after the box the error level is raised to
// at least 3, so the run ends, and the program is told to stop. Any other
// title: a plain box, result 1.
int rw_msgbox(RunContext& ctx, std::string_view text, std::string_view title,
              std::string* answer = nullptr);

// Asks whether the user really wants to cancel the run. Returns false when
// the user confirms (the caller stops the run), true otherwise.
bool cancel_yesno(RunContext& ctx);

// The closing dialog of a run with its final message. The check list is
// offered only when it holds messages.
void rw_dlgfinale(RunContext& ctx, std::string_view text);

// --- The check list as the viewer shows and prints it ---

// The lines of a check list file (none when it cannot be read).
std::vector<std::string> read_check_list(const std::string& path);
// True when the lines hold at least one message: blank lines and the single
// marker line "#NO#no warnings/errors" do not count.
bool check_list_has_messages(const std::vector<std::string>& lines);
// Title of the viewer: the variant followed by ": Warnungen und Fehler ...".
std::string check_list_title(std::string_view language, std::string_view variant);
// What the viewer shows when there is nothing to show.
std::string check_list_empty_text(std::string_view language);
// The printout: a heading block (title and date) and the check list, the
// blocks separated by lines of 80 "=".
std::vector<std::string> check_list_printout(std::string_view title, std::string_view date,
                                             const std::vector<std::string>& lines);

}  // namespace rivola::ui
