// The PDF is written to a temporary file beside its target and renamed over it
// only once it is complete: an existing file is never half overwritten, and a
// run that fails leaves nothing behind.
#pragma once

#include <cstdio>
#include <string>

namespace kestra {

class OutputFile {
  public:
    OutputFile() = default;
    // Removes the temporary file unless commit() succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file in target's folder. On failure returns false
    // and error() says why.
    bool open(const std::string& target);

    std::FILE* stream() const { return stream_; }

    // Flushes and closes the temporary file, then renames it to the target.
    bool commit();

    const std::string& error() const { return error_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

  private:
    bool fail(int errorNumber);
    void discard();

    std::FILE* stream_ = nullptr;
    std::string target_;
    std::string temporaryPath_;
    std::string error_;
};

} // namespace kestra
