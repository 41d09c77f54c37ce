// m_files: file and directory handling on a case-sensitive file system.
#pragma once

#include <string>

namespace rivola::support {

bool file_exists(const std::string& path);
// Finds a file in a directory without regard to the case of its name; returns
// the existing path, or dir + name when there is none.
std::string find_file_nocase(const std::string& dir, const std::string& name);
// Deletes a file; no error when it does not exist.
void remove_file(const std::string& path);

}  // namespace rivola::support
