#include "messages/cli_services.h"

#include <iostream>

#include "support/m_strings.h"
#include "messages/m_realwin.h"

namespace rivola::ui {

namespace {

// Writes a text that may hold several lines, each after the given indent.
void write_lines(std::ostream& os, const std::string& text, const char* indent = "  ") {
    size_t pos = 0;
    while (true) {
        const size_t nl = text.find('\n', pos);
        os << indent << support::rtrim(text.substr(pos, nl == std::string::npos ? nl : nl - pos))
           << '\n';
        if (nl == std::string::npos) break;
        pos = nl + 1;
    }
}

}  // namespace

CliServices::CliServices(bool yes) : CliServices(yes, std::cout, std::cerr) {}

CliServices::CliServices(bool yes, std::ostream& out, std::ostream& err)
    : yes_(yes), out_(out), err_(err) {}

void CliServices::message(const std::string& title, const std::string& text) {
    err_ << support::rtrim(title) << ":\n";
    write_lines(err_, text);
    err_.flush();
}

bool CliServices::question(const std::string& title, const std::string& text) {
    err_ << support::rtrim(title) << ":\n";
    write_lines(err_, text);
    err_ << "  -> " << (yes_ ? "yes" : "no") << '\n';
    err_.flush();
    return yes_;
}

std::string CliServices::openFile(const std::string& title, const std::string&) {
    err_ << support::rtrim(title) << ":\n  -> cancelled (no file dialog on the command line)\n";
    err_.flush();
    return {};
}

void CliServices::log(const std::string& line) {
    out_ << line << '\n';
    out_.flush();
}

void CliServices::finale(const std::string& text, const std::string& checkList) {
    write_lines(err_, text, "");
    if (yes_ && !checkList.empty()) {
        for (const auto& l : read_check_list(checkList)) err_ << l << '\n';
    }
    err_.flush();
}

}  // namespace rivola::ui
