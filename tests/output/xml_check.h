// A small well-formedness check of XML documents for the tests: tags nest and
// close in order, attribute values are quoted, '<' never stands in text and
// every '&' starts one of the five predefined entities or a character reference.
#pragma once

#include <cctype>
#include <string>
#include <vector>

namespace rivola::test {

inline bool entity_ok(const std::string& s, size_t amp) {
    for (const char* e : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
        if (s.compare(amp, std::char_traits<char>::length(e), e) == 0) return true;
    if (s.compare(amp, 2, "&#") == 0) {
        const size_t semi = s.find(';', amp);
        return semi != std::string::npos && semi > amp + 2;
    }
    return false;
}

// Empty when the document is well-formed, else what is wrong.
inline std::string xml_problem(const std::string& s) {
    std::vector<std::string> stack;
    size_t i = 0;
    bool root_seen = false;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '&' && !entity_ok(s, i)) return "bare & at " + std::to_string(i);
        if (c != '<') {
            if (stack.empty() && !std::isspace(static_cast<unsigned char>(c))) return "text outside the root";
            ++i;
            continue;
        }
        if (s.compare(i, 2, "<?") == 0) {
            const size_t e = s.find("?>", i);
            if (e == std::string::npos) return "open declaration";
            i = e + 2;
            continue;
        }
        if (s.compare(i, 4, "<!--") == 0) {
            const size_t e = s.find("-->", i);
            if (e == std::string::npos) return "open comment";
            i = e + 3;
            continue;
        }
        const bool closing = s.compare(i, 2, "</") == 0;
        size_t k = i + (closing ? 2 : 1);
        std::string name;
        while (k < s.size() && (std::isalnum(static_cast<unsigned char>(s[k])) || s[k] == '-' || s[k] == ':'))
            name += s[k++];
        if (name.empty()) return "tag without a name at " + std::to_string(i);
        if (closing) {
            while (k < s.size() && std::isspace(static_cast<unsigned char>(s[k]))) ++k;
            if (k >= s.size() || s[k] != '>') return "bad end tag " + name;
            if (stack.empty() || stack.back() != name) return "end tag " + name + " does not match";
            stack.pop_back();
            i = k + 1;
            continue;
        }
        if (stack.empty() && root_seen) return "second root element";
        // attributes
        bool empty = false;
        for (;;) {
            while (k < s.size() && std::isspace(static_cast<unsigned char>(s[k]))) ++k;
            if (k >= s.size()) return "open tag " + name;
            if (s[k] == '>') { ++k; break; }
            if (s.compare(k, 2, "/>") == 0) { empty = true; k += 2; break; }
            std::string attr;
            while (k < s.size() && s[k] != '=' && !std::isspace(static_cast<unsigned char>(s[k])) && s[k] != '>')
                attr += s[k++];
            if (attr.empty() || k >= s.size() || s[k] != '=') return "attribute without value in " + name;
            ++k;
            if (k >= s.size() || (s[k] != '"' && s[k] != '\'')) return "unquoted attribute " + attr;
            const char q = s[k++];
            const size_t end = s.find(q, k);
            if (end == std::string::npos) return "open attribute " + attr;
            for (size_t m = k; m < end; ++m) {
                if (s[m] == '<') return "< in attribute " + attr;
                if (s[m] == '&' && !entity_ok(s, m)) return "bare & in attribute " + attr;
            }
            k = end + 1;
        }
        root_seen = true;
        if (!empty) stack.push_back(name);
        i = k;
    }
    if (!stack.empty()) return "unclosed " + stack.back();
    if (!root_seen) return "no root element";
    return "";
}

}  // namespace rivola::test
