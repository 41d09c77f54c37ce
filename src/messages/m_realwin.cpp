#include "messages/m_realwin.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "messages/m_rivola_error.h"
#include "model/context.h"
#include "support/m_strings.h"
#include "messages/m_language.h"
#include "messages/services.h"

namespace rivola::ui {

namespace {

// Screen messages that stop the calculation: no message of the check list
// tells why the run ended.
bool stops_the_run(int key) {
    switch (key) {
        case 40:   // the last element has no "ENDE"
        case 81:   // partly filled immersion tube
        case 82:   // more than three berms
        case 84:   // regula falsi beyond 1000 steps
        case 101:  // energy curve of a berm zone
        case 102: case 103: case 104:  // linear solver
        case 105: case 106:            // berm-zone searches beyond 1000 steps
            return true;
        default:
            return false;
    }
}

}  // namespace

void screen_dlgedit(RunContext& ctx, int key, int /*line*/, std::string_view t1,
                    std::string_view t2, std::string_view t3) {
    const std::string text = compose_screen_message(
        ctx.settings.language, ctx.settings.programName, ctx.settings.version, key, t1, t2, t3);
    std::vector<std::string> lines;
    size_t pos = 0;
    while (true) {
        const size_t nl = text.find('\n', pos);
        lines.push_back(text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos));
        if (nl == std::string::npos) break;
        pos = nl + 1;
    }
    if (ctx.ui)
        for (const auto& l : lines) ctx.ui->log(l);
    // The final message of the run names the check list: a stop shown here
    // goes there too, with the same lines, so that the file exists and says
    // why the run ended. Only within a run whose check list was started.
    if (stops_the_run(key) && !ctx.rep.base.empty()) {
        checks::fehler(ctx, "OUTQQQ");
        for (const auto& l : lines) checks::outqqq_line(ctx, l);
    }
}

std::string translate_txt(const RunContext& ctx, std::string_view text) {
    return translate_txt(ctx.settings.language, text);
}

int rw_msgbox(RunContext& ctx, std::string_view text, std::string_view title,
              std::string* answer) {
    const std::string t(text);
    if (title == kTitleQuestion) {
        const bool yes = ctx.ui && ctx.ui->question(std::string(title), t);
        if (answer) *answer = yes ? "Ja" : "No";
        return yes ? 1 : 0;
    }
    if (title == kTitleFatal) {
        if (ctx.ui) ctx.ui->message(std::string(kFatalCaption), t);
        // The run must not go on after a fatal error, whatever the caller does next.
        ctx.run.ierr = std::max(ctx.run.ierr, 3);
        if (ctx.ui) ctx.ui->stop_program();
        return 1;
    }
    if (ctx.ui) ctx.ui->message(std::string(title), t);
    return 1;
}

bool cancel_yesno(RunContext& ctx) {
    const bool en = is_english(ctx.settings.language);
    const std::string text =
        en ? "Are You shure to cancel program ?" : "Wollen Sie den Programmablauf wirklich abbrechen ?";
    const std::string title = en ? "Cancel?" : "Abbruch?";
    const bool yes = ctx.ui && ctx.ui->question(title, text);
    return !yes;
}

void rw_dlgfinale(RunContext& ctx, std::string_view text) {
    if (!ctx.ui) return;
    // The check list may still be open for writing: bring its lines to the file.
    if (ctx.rep.unit) std::fflush(ctx.rep.unit);
    std::string path = ctx.run.checkListFile;
    if (path.empty() && !ctx.rep.base.empty()) path = ctx.rep.fileName();
    if (!path.empty() && !check_list_has_messages(read_check_list(path))) path.clear();
    ctx.ui->finale(std::string(text), path);
}

std::vector<std::string> read_check_list(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool check_list_has_messages(const std::vector<std::string>& lines) {
    int filled = 0;
    bool onlyMarker = true;
    for (const auto& l : lines) {
        const std::string t = support::trim(l);
        if (t.empty()) continue;
        ++filled;
        if (t != "#NO#no warnings/errors") onlyMarker = false;
    }
    return filled > 0 && !(filled == 1 && onlyMarker);
}

std::string check_list_title(std::string_view language, std::string_view variant) {
    return support::rtrim(variant) +
           (is_english(language) ? ": warnings and errors ..." : ": Warnungen und Fehler ...");
}

std::string check_list_empty_text(std::string_view language) {
    return is_english(language) ? "There are no warnings/errors."
                                : "Es sind keine Warnungen/Fehler vorhanden.";
}

std::vector<std::string> check_list_printout(std::string_view title, std::string_view date,
                                             const std::vector<std::string>& lines) {
    const std::string rule(80, '=');
    std::vector<std::string> out;
    out.push_back(rule);
    out.push_back(support::rtrim(title));
    if (!support::trim(date).empty()) out.push_back(support::trim(date));
    out.push_back(rule);
    for (const auto& l : lines) out.push_back(support::rtrim(l));
    out.push_back(rule);
    return out;
}

}  // namespace rivola::ui
