#include "table/output/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace kestra {
namespace {

// As the kernel allows before it reports ELOOP.
constexpr int kMaxLinkHops = 40;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file being written, for a signal that ends the run (Ctrl-C,
// a closed terminal, kill): fixed storage and a plain flag, since a signal
// handler may touch nothing else. Only the process that made the file
// removes it: a child forked by a library inherits the handler.
char pendingPath[4096];
volatile sig_atomic_t pendingOwner = 0;

extern "C" void removePendingAndEnd(int signalNumber) {
    if (pendingOwner != 0 && pendingOwner == getpid())
        unlink(pendingPath);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// A signal the run was started to ignore (nohup, a background job) stays
// ignored: the user asked for the run to outlive the terminal.
void watchForEndingSignals() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int signalNumber : kEndingSignals) {
        struct sigaction current {};
        sigaction(signalNumber, nullptr, &current);
        if (current.sa_handler == SIG_IGN)
            continue;
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

// Holds back the ending signals while a file gets a name and the handler
// learns it, so that no signal comes between the two.
class EndingSignalsHeld {
  public:
    EndingSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int signalNumber : kEndingSignals)
            sigaddset(&held, signalNumber);
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~EndingSignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

  private:
    sigset_t previous_;
};

// The folder part of path, with its slash, so a rename never crosses file
// systems; empty for the current folder.
std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path that writing to path reaches: symbolic links followed to the
// last one's target, which need not exist yet.
bool followLinks(std::string& path) {
    std::vector<char> target(PATH_MAX);
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return false;
        if (static_cast<size_t>(length) >= target.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string next(target.data(), static_cast<size_t>(length));
        path = next[0] == '/' ? next : folderOf(path) + next;
    }
    errno = ELOOP;
    return false;
}

// The absolute path of a file that need not exist, links followed.
std::string resolvedPath(std::string path) {
    followLinks(path);
    const std::string folder = folderOf(path);
    const std::string name = path.substr(folder.size());
    std::unique_ptr<char, decltype(&std::free)> resolved(
        realpath(folder.empty() ? "." : folder.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) + "/" + name : path;
}

// A fresh name beside the target, hidden as a dot file.
std::string hiddenNameIn(const std::string& folder) {
    static unsigned serial = 0;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return folder + ".kestra-table-" + std::to_string(getpid()) + "-" + std::to_string(serial++) +
           "-" + std::to_string(now.tv_nsec);
}

// mkstemp makes the file readable by its owner only; the finished PDF gets
// the permissions any new file would get.
void applyUmask(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

} // namespace

bool outputIsInput(const std::string& output, const std::string& input) {
    struct stat in {};
    struct stat out {};
    const bool outputExists =
        output == "-" ? fstat(STDOUT_FILENO, &out) == 0 : stat(output.c_str(), &out) == 0;
    if (outputExists && stat(input.c_str(), &in) == 0)
        return out.st_dev == in.st_dev && out.st_ino == in.st_ino;
    return output != "-" && resolvedPath(output) == resolvedPath(input);
}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::open(const std::string& target) {
    discard();
    refusal_ = Refusal::None;
    error_.clear();
    if (target == "-")
        return openStandardOutput();
    watchForEndingSignals();
    target_ = target;
    if (!followLinks(target_))
        return fail(errno);
    replacing_ = lstat(target_.c_str(), &replaced_) == 0;
    if (replacing_ && !S_ISREG(replaced_.st_mode))
        return refuse(Refusal::NotARegularFile);
    // The rename would replace a file that the folder lets us remove even
    // where the file itself forbids writing: asked as cp asks, with the
    // effective ids, a write-protected font is safe from a typo.
    if (replacing_ && faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        return refuse(Refusal::NotWritable, errno);
    return (staging_ == Staging::UnnamedWhereSupported && openUnnamed()) || openHidden();
}

bool OutputFile::openStandardOutput() {
    if (terminal_ == Terminal::Refused && isatty(STDOUT_FILENO))
        return refuse(Refusal::Terminal);
    toStandardOutput_ = true;
    stream_ = stdout;
    return true;
}

// The file is linked in through /proc when it is complete: without /proc it
// could never get a name.
bool OutputFile::openUnnamed() {
#ifdef O_TMPFILE
    if (access("/proc/self/fd", X_OK) != 0)
        return false;
    const std::string folder = folderOf(target_);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY, 0666);
    if (fd < 0)
        return false;
    takeOverTarget(fd);
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        close(fd);
        return false;
    }
    unnamed_ = true;
    return true;
#else
    return false;
#endif
}

bool OutputFile::openHidden() {
    std::string pattern = folderOf(target_) + ".kestra-table-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        return fail(errno);
    temporaryPath_ = pattern;
    setPending(temporaryPath_);
    if (replacing_)
        takeOverTarget(fd);
    else
        applyUmask(fd);
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const int error = errno;
        close(fd);
        return fail(error);
    }
    return true;
}

// The table takes the place of the file it replaces, from its first byte:
// the same permissions (a private file never becomes readable by others, not
// even while it is written), and the same owner and group where this process
// may give them, as root may. A group that cannot be kept loses its
// permissions rather than passing them to this user's group; set-id bits
// are never carried over to a new file.
void OutputFile::takeOverTarget(int fd) const {
    if (!replacing_)
        return;
    mode_t mode = replaced_.st_mode & 0777;
    if (fchown(fd, replaced_.st_uid, replaced_.st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), replaced_.st_gid) != 0)
        mode &= ~static_cast<mode_t>(S_IRWXG);
    fchmod(fd, mode);
}

// A hidden name first: a link cannot replace the target, a rename can.
bool OutputFile::nameUnnamed() {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fileno(stream_));
    const std::string folder = folderOf(target_);
    for (;;) {
        const std::string name = hiddenNameIn(folder);
        const EndingSignalsHeld held;
        if (linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporaryPath_ = name;
            setPending(temporaryPath_);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
}

bool OutputFile::commit() {
    if (stream_ == nullptr)
        return false;
    if (!flushedToDisk())
        return fail(errno);
    if (toStandardOutput_) {
        stream_ = nullptr;
        toStandardOutput_ = false;
        return true;
    }
    if (unnamed_ && !nameUnnamed())
        return fail(errno);
    std::FILE* stream = stream_;
    stream_ = nullptr;
    if (std::fclose(stream) != 0)
        return fail(errno);
    if (std::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    setPending("");
    temporaryPath_.clear();
    return true;
}

// Before the file takes the target's name, so that a power cut never leaves
// an empty file where the last table was. A pipe has no disk to reach.
bool OutputFile::flushedToDisk() const {
    return std::ferror(stream_) == 0 && std::fflush(stream_) == 0 &&
           (toStandardOutput_ || fsync(fileno(stream_)) == 0);
}

bool OutputFile::fail(int errorNumber) {
    error_ = std::strerror(errorNumber != 0 ? errorNumber : EIO);
    discard();
    return false;
}

bool OutputFile::refuse(Refusal refusal, int errorNumber) {
    refusal_ = refusal;
    if (errorNumber != 0)
        error_ = std::strerror(errorNumber);
    discard();
    return false;
}

void OutputFile::discard() {
    if (stream_ != nullptr && !toStandardOutput_)
        std::fclose(stream_);
    stream_ = nullptr;
    toStandardOutput_ = false;
    unnamed_ = false;
    if (!temporaryPath_.empty()) {
        setPending("");
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

} // namespace kestra
