// Where the PDF goes. A file target is written to an unnamed file in its
// folder (a hidden temporary file where the file system has none) that takes
// the target's name only once it is complete and on disk: an existing file is
// never half overwritten, and a run that fails, even one that is killed,
// leaves nothing behind. A symbolic link is followed and stays a link; any
// other thing at the target's path (a folder, device, FIFO, socket) is
// refused, and so is a file this user may not write, as cp would refuse it.
// A file that is replaced keeps its permissions, and its owner and group
// where the process may give them; its other hard links keep the old file.
// "-" is standard output, refused when it is a terminal.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace kestra {

// Whether writing to output would overwrite the file input: the same file
// once links are followed, or, for an output that does not exist yet, the
// same resolved path. "-" is standard output, as it is redirected.
bool outputIsInput(const std::string& output, const std::string& input);

class OutputFile {
  public:
    enum class Staging {
        UnnamedWhereSupported,
        HiddenFile, // what a file system without unnamed files gets
    };
    enum class Refusal { None, NotARegularFile, NotWritable, Terminal };
    // Whether "-" may be a terminal: a PDF there is noise, a text is read.
    enum class Terminal { Refused, Allowed };

    explicit OutputFile(Staging staging = Staging::UnnamedWhereSupported,
                        Terminal terminal = Terminal::Refused)
        : staging_(staging), terminal_(terminal) {}
    // Removes whatever commit() did not name.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // On failure returns false, and refusal() or error() says why.
    bool open(const std::string& target);

    std::FILE* stream() const { return stream_; }

    // Flushes the file to disk and gives it the target's name.
    bool commit();

    Refusal refusal() const { return refusal_; }
    const std::string& error() const { return error_; }

  private:
    bool openStandardOutput();
    bool openUnnamed();
    bool openHidden();
    void takeOverTarget(int fd) const;
    bool nameUnnamed();
    bool flushedToDisk() const;
    bool fail(int errorNumber);
    bool refuse(Refusal refusal, int errorNumber = 0);
    void discard();

    Staging staging_;
    Terminal terminal_;
    std::FILE* stream_ = nullptr;
    bool toStandardOutput_ = false;
    bool unnamed_ = false;
    std::string target_; // links followed
    bool replacing_ = false;
    struct stat replaced_ {}; // of the file at target_, when replacing_
    std::string temporaryPath_;
    Refusal refusal_ = Refusal::None;
    std::string error_;
};

} // namespace kestra
