#include "support/m_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <streambuf>
#include <system_error>
#include <vector>

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

// The write buffer of an AtomicFile: collects the text and hands it to the
// file in large blocks; the first failing write keeps its errno and every
// later write is refused, so a cut file never passes for a complete one.
class AtomicFile::Buffer : public std::streambuf {
public:
    Buffer(AtomicFile& owner) : owner_(owner), data_(1 << 16) {
        setp(data_.data(), data_.data() + data_.size());
    }
    // Writes what is buffered; false after a failure.
    bool drain() {
        const char* p = pbase();
        size_t left = static_cast<size_t>(pptr() - pbase());
        while (left > 0 && owner_.step_.empty()) {
            const ssize_t n = ::write(owner_.fd_, p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                owner_.fail("write", errno);
                break;
            }
            p += n;
            left -= static_cast<size_t>(n);
        }
        setp(data_.data(), data_.data() + data_.size());
        return owner_.step_.empty();
    }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    AtomicFile& owner_;
    std::vector<char> data_;
};

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
    const size_t slash = path_.find_last_of('/');
    const std::string dir = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    const std::string name = path_.substr(dir.size());
    std::string tmpl = dir + "." + name + ".XXXXXX";
    std::vector<char> t(tmpl.begin(), tmpl.end());
    t.push_back('\0');
    fd_ = ::mkstemp(t.data());
    if (fd_ < 0) {
        fail("open", errno);
    } else {
        temp_ = t.data();
        // mkstemp creates the file for its owner alone; a result file is
        // readable as any file the user creates.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    buf_ = std::make_unique<Buffer>(*this);
    out_ = std::make_unique<std::ostream>(buf_.get());
    if (fd_ < 0) out_->setstate(std::ios::badbit);
}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::is_open() const { return fd_ >= 0 || !temp_.empty(); }

std::ostream& AtomicFile::out() { return *out_; }

void AtomicFile::fail(const char* step, int err) {
    if (!step_.empty()) return;
    step_ = step;
    reason_ = std::strerror(err);
}

bool AtomicFile::commit() {
    if (temp_.empty()) {
        if (step_.empty()) fail("open", ENOENT);
        return false;
    }
    out_->flush();
    buf_->drain();
    if (step_.empty() && out_->bad()) fail("write", EIO);
    if (fd_ >= 0) {
        if (::close(fd_) != 0) fail("close", errno);
        fd_ = -1;
    }
    if (step_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) fail("rename", errno);
    if (!step_.empty()) {
        discard();
        return false;
    }
    temp_.clear();
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

}  // namespace rivola::support
