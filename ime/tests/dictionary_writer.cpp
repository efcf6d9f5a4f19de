#include "ime/tests/dictionary_writer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "eudc/app_state.h"

namespace kestra::testing {
namespace {

constexpr size_t kHeaderSize = 258;
constexpr size_t kCountOffset = 12;

std::string uniqueTempPath() {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = "kestra-ime-" + std::to_string(seed) + "-" + std::to_string(ticks) +
                             "-" + std::to_string(counter++) + ".dat";
    return (std::filesystem::temp_directory_path() / name).string();
}

} // namespace

DictionaryWriter::DictionaryWriter(uint32_t layoutId)
    : entrySize_(layoutId == kPhoneticLayoutId ? 8 : 9),
      keyPositions_(layoutId == kPhoneticLayoutId ? 4 : 5) {}

DictionaryWriter& DictionaryWriter::add(uint16_t code, std::initializer_list<int> keys) {
    body_.push_back(static_cast<unsigned char>(code & 0xFF));
    body_.push_back(static_cast<unsigned char>(code >> 8));
    int written = 0;
    for (int key : keys) {
        if (written < keyPositions_)
            body_.push_back(static_cast<unsigned char>(key));
        ++written;
    }
    for (; written < keyPositions_; ++written)
        body_.push_back(0);
    body_.insert(body_.end(), entrySize_ - 2 - keyPositions_, 0);
    ++entries_;
    return *this;
}

DictionaryWriter& DictionaryWriter::announce(int32_t count) {
    announced_ = true;
    count_ = count;
    return *this;
}

DictionaryWriter& DictionaryWriter::appendRaw(std::initializer_list<unsigned char> bytes) {
    body_.insert(body_.end(), bytes);
    return *this;
}

std::vector<unsigned char> DictionaryWriter::bytes() const {
    std::vector<unsigned char> out(kHeaderSize + body_.size(), 0);
    const uint32_t count = static_cast<uint32_t>(announced_ ? count_ : entries_);
    for (int i = 0; i < 4; ++i)
        out[kCountOffset + i] = static_cast<unsigned char>(count >> (8 * i));
    std::copy(body_.begin(), body_.end(), out.begin() + kHeaderSize);
    return out;
}

TempFile::TempFile(const std::vector<unsigned char>& contents) : path_(uniqueTempPath()) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr)
        return;
    if (!contents.empty())
        std::fwrite(contents.data(), 1, contents.size(), f);
    std::fclose(f);
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

std::string missingFilePath() {
    return uniqueTempPath();
}

} // namespace kestra::testing
