#include "table/output_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kestra {
namespace {

// The folder part of target, with its slash, so a rename never crosses file
// systems; empty for the current folder.
std::string folderOf(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
}

// mkstemp makes the file readable by its owner only; the finished PDF gets
// the permissions any new file would get.
void applyUmask(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

} // namespace

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::open(const std::string& target) {
    discard();
    target_ = target;
    std::string pattern = folderOf(target) + ".kestra-table-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        return fail(errno);
    temporaryPath_ = pattern;
    applyUmask(fd);
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const int error = errno;
        close(fd);
        return fail(error);
    }
    return true;
}

bool OutputFile::commit() {
    if (stream_ == nullptr)
        return false;
    std::FILE* stream = stream_;
    stream_ = nullptr;
    const bool written = std::ferror(stream) == 0 && std::fflush(stream) == 0;
    const int writeError = errno;
    if (std::fclose(stream) != 0 || !written)
        return fail(written ? errno : writeError);
    if (std::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    temporaryPath_.clear();
    return true;
}

bool OutputFile::fail(int errorNumber) {
    error_ = std::strerror(errorNumber != 0 ? errorNumber : EIO);
    discard();
    return false;
}

void OutputFile::discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

} // namespace kestra
