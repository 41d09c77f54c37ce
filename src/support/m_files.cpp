#include "support/m_files.h"

#include <filesystem>
#include <system_error>

#include "support/m_strings.h"

namespace fs = std::filesystem;

namespace rivola::support {

bool file_exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string find_file_nocase(const std::string& dir, const std::string& name) {
    const std::string d = dir.empty() ? std::string(".") : dir;
    std::string exact = dir + name;
    if (file_exists(exact)) return exact;
    std::error_code ec;
    const std::string want = upper(name);
    for (fs::directory_iterator it(d, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string n = it->path().filename().string();
        if (upper(n) == want) return dir + n;
    }
    return exact;
}

void remove_file(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace rivola::support
