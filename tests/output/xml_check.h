// Well-formedness of XML documents for the tests, judged by the XML parser of
// libxml2 (xmllint), independent of the writer under test.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace rivola::test {

// The parser's complaint about `doc`, empty when the document is well formed.
inline std::string xml_problem(const std::string& doc) {
    char name[] = "/tmp/rivola_xml_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return "no temporary file";
    const bool written = write(fd, doc.data(), doc.size()) == static_cast<ssize_t>(doc.size());
    close(fd);
    std::string out;
    FILE* p = written ? popen(("xmllint --noout '" + std::string(name) + "' 2>&1").c_str(), "r") : nullptr;
    if (p) {
        std::array<char, 512> buf{};
        while (fgets(buf.data(), static_cast<int>(buf.size()), p)) out += buf.data();
        const int st = pclose(p);
        if (out.empty() && !(WIFEXITED(st) && WEXITSTATUS(st) == 0)) out = "xmllint failed";
    } else {
        out = "xmllint not started";
    }
    std::remove(name);
    return out;
}

}  // namespace rivola::test
