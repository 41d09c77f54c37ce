// m_files: file and directory handling on a case-sensitive file system.
#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace rivola::support {

bool file_exists(const std::string& path);
// Finds a file in a directory without regard to the case of its name; returns
// the existing path, or dir + name when there is none.
std::string find_file_nocase(const std::string& dir, const std::string& name);
// Deletes a file; no error when it does not exist.
void remove_file(const std::string& path);

}  // namespace rivola::support


namespace rivola::support {

// A file that is written completely or not at all: the text goes to a
// temporary file in the target's directory and replaces the target only when
// every write and the close succeeded. Until then an older file of that name
// stays untouched; the object's destruction without commit() removes the
// temporary file.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False when the temporary file could not be created (see reason()).
    bool is_open() const;
    std::ostream& out();
    // Flushes, closes and renames over the target. False when any write, the
    // close or the rename failed; the temporary file is then gone.
    bool commit();
    // Gives the file up: removes the temporary file.
    void discard();

    const std::string& path() const { return path_; }
    // The step that failed first ("open", "write", "close", "rename") and the
    // system's own reason (for example "No space left on device").
    const std::string& step() const { return step_; }
    const std::string& reason() const { return reason_; }

private:
    class Buffer;
    void fail(const char* step, int err);

    std::string path_, temp_;
    std::string step_, reason_;
    std::unique_ptr<Buffer> buf_;
    std::unique_ptr<std::ostream> out_;
    int fd_ = -1;
};

}  // namespace rivola::support
