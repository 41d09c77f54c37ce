// m_strings: fixed-width text handling for listings and messages.
// Widths count characters (UTF-8 code points), not bytes.
#pragma once

#include <string>
#include <string_view>

namespace rivola::support {

// Number of characters (code points) of a UTF-8 text.
size_t ulen(std::string_view s);
// The first n characters of a UTF-8 text.
std::string ucut(std::string_view s, size_t n);
// Left-adjusted, blank-padded (or cut) to n characters.
std::string pad(std::string_view s, size_t n);
// Right-adjusted in n characters (cut from the right when longer).
std::string rpad(std::string_view s, size_t n);
std::string rtrim(std::string_view s);
std::string ltrim(std::string_view s);
std::string trim(std::string_view s);
// ASCII upper case; other bytes unchanged.
std::string upper(std::string_view s);
bool contains(std::string_view s, std::string_view what);
bool starts_with(std::string_view s, std::string_view what);

// Fortran-style edit descriptors: Fw.d right-aligned in w columns with d
// decimals, w asterisks when the number does not fit; Iw likewise.
std::string fmt_f(double v, int w, int d);
std::string fmt_i(long long v, int w);
// Number as short text with as many decimals as needed (at most d),
// without trailing zeros.
std::string fmt_dyn(double v, int d);
// v with d decimals, rounded as printf's "%.*f" rounds (the exact binary
// value, ties to even), at a fraction of printf's cost.
std::string fixed_decimals(double v, int d);

// Today's date as "dd.mm.yyyy".
std::string today();

}  // namespace rivola::support
