#include "support/m_strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace rivola::support {

size_t ulen(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string ucut(std::string_view s, size_t n) {
    size_t chars = 0, i = 0;
    for (; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) {
            if (chars == n) break;
            ++chars;
        }
    }
    return std::string(s.substr(0, i));
}

std::string pad(std::string_view s, size_t n) {
    std::string r = ucut(s, n);
    const size_t l = ulen(r);
    if (l < n) r.append(n - l, ' ');
    return r;
}

std::string rpad(std::string_view s, size_t n) {
    std::string r = ucut(s, n);
    const size_t l = ulen(r);
    if (l < n) r.insert(0, n - l, ' ');
    return r;
}

std::string rtrim(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\0' || s[e - 1] == '\t' ||
                     s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return std::string(s.substr(0, e));
}

std::string ltrim(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t')) ++b;
    return std::string(s.substr(b));
}

std::string trim(std::string_view s) { return ltrim(rtrim(s)); }

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

bool contains(std::string_view s, std::string_view what) {
    return s.find(what) != std::string_view::npos;
}

bool starts_with(std::string_view s, std::string_view what) {
    return s.substr(0, what.size()) == what;
}

// The largest finite double has 309 digits before the point.
std::string fixed_decimals(double v, int d) {
    char buf[512];
    d = std::clamp(d < 0 ? 6 : d, 0, 150);
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, d);
    if (r.ec != std::errc()) return {};
    return std::string(buf, r.ptr);
}

std::string fmt_f(double v, int w, int d) {
    if (w <= 0) return {};
    if (!std::isfinite(v)) return std::string(static_cast<size_t>(w), '*');
    std::string r = fixed_decimals(v, d);
    // "-0.000" prints as in Fortran: the sign stays only for a non-zero value.
    if (!r.empty() && r[0] == '-' && r.find_first_not_of("-0.") == std::string::npos) r.erase(0, 1);
    // Fortran drops the leading zero when the field is otherwise too narrow.
    if (static_cast<int>(r.size()) > w) {
        if (r.rfind("0.", 0) == 0) r.erase(0, 1);
        else if (r.rfind("-0.", 0) == 0) r.erase(1, 1);
    }
    if (static_cast<int>(r.size()) > w) return std::string(static_cast<size_t>(w), '*');
    return std::string(static_cast<size_t>(w) - r.size(), ' ') + r;
}

std::string fmt_i(long long v, int w) {
    if (w <= 0) return {};
    std::string r = std::to_string(v);
    if (static_cast<int>(r.size()) > w) return std::string(static_cast<size_t>(w), '*');
    return std::string(static_cast<size_t>(w) - r.size(), ' ') + r;
}

std::string fmt_dyn(double v, int d) {
    std::string r = fixed_decimals(v, d);
    if (r.find('.') != std::string::npos) {
        while (!r.empty() && r.back() == '0') r.pop_back();
        if (!r.empty() && r.back() == '.') r.pop_back();
    }
    if (r == "-0") r = "0";
    return r;
}

std::string today() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
    return buf;
}

}  // namespace rivola::support
