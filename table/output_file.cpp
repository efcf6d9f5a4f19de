#include "table/output_file.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kestra {
namespace {

// The temporary file being written, for a signal that ends the run (Ctrl-C,
// a closed terminal, kill): fixed storage and a plain flag, since a signal
// handler may touch nothing else. Only the process that made the file
// removes it; the worker processes inherit the handler.
char pendingPath[4096];
volatile sig_atomic_t pendingOwner = 0;

extern "C" void removePendingAndEnd(int signalNumber) {
    if (pendingOwner != 0 && pendingOwner == getpid())
        unlink(pendingPath);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void watchForEndingSignals() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = removePendingAndEnd;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
}

void setPending(const std::string& path) {
    pendingOwner = 0;
    if (path.empty() || path.size() >= sizeof pendingPath)
        return;
    std::memcpy(pendingPath, path.c_str(), path.size() + 1);
    watchForEndingSignals();
    pendingOwner = getpid();
}

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
    setPending(temporaryPath_);
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
    setPending("");
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
        setPending("");
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

} // namespace kestra
