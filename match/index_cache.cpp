#include "match/index_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "match/learned_projection.h"

namespace kestra::match {
namespace {

constexpr char kMagic[8] = {'K', 'E', 'S', 'T', 'R', 'A', 'R', 'I'};
// Raised whenever the file's layout, or the way features are taken, changes.
constexpr uint32_t kFormatVersion = 1;
constexpr uint32_t kByteOrderMark = 0x01020304;
// The font's head and tail, hashed: its table directory (with each table's
// checksum) and whatever an edit appends.
constexpr size_t kFingerprintBytes = 64 * 1024;
constexpr char kCacheFolder[] = "kestra";
constexpr char kCacheFile[] = "reference-index";

// 64-bit FNV-1a over whole words (a byte stream cut anywhere sums the same:
// the bytes of a word cut in two wait for the rest).
class Checksum {
  public:
    void add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        while (size > 0 && pendingSize_ > 0) {
            addByte(*bytes++);
            --size;
        }
        for (; size >= 8; bytes += 8, size -= 8) {
            uint64_t word;
            std::memcpy(&word, bytes, 8);
            mix(hash_, word);
        }
        while (size-- > 0)
            addByte(*bytes++);
    }
    uint64_t value() const {
        uint64_t hash = hash_;
        if (pendingSize_ > 0)
            mix(hash, pending_ ^ pendingSize_);
        return hash;
    }

  private:
    // Into the pending word where a whole-word read would have put it.
    void addByte(unsigned char byte) {
        std::memcpy(reinterpret_cast<unsigned char*>(&pending_) + pendingSize_, &byte, 1);
        if (++pendingSize_ == 8) {
            mix(hash_, pending_);
            pending_ = 0;
            pendingSize_ = 0;
        }
    }
    static void mix(uint64_t& hash, uint64_t value) {
        hash ^= value;
        hash *= 0x100000001b3ULL;
        hash ^= hash >> 29;
    }
    uint64_t hash_ = 0xcbf29ce484222325ULL;
    uint64_t pending_ = 0;
    size_t pendingSize_ = 0;
};

uint64_t projectionChecksum() {
    Checksum sum;
    sum.add(kProjectionMean, sizeof kProjectionMean);
    sum.add(kProjection, sizeof kProjection);
    return sum.value();
}

struct Header {
    char magic[8];
    uint32_t version;
    uint32_t byteOrder;
    uint32_t featureDims;
    uint32_t coarseDims;
    uint64_t projection;
    uint64_t payloadSize;
    uint64_t payloadChecksum;
};

// What identifies a font file's present state: a file replaced, touched or
// edited differs in one of these. A missing file has size -1.
struct FontIdentity {
    int64_t size = -1;
    int64_t modifiedNs = 0;
    uint64_t inode = 0;
    uint64_t device = 0;
    uint64_t content = 0;

    bool operator==(const FontIdentity&) const = default;
};

FontIdentity identityOf(const std::string& path) {
    FontIdentity identity;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return identity;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        identity.size = st.st_size;
        identity.modifiedNs =
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        identity.inode = st.st_ino;
        identity.device = st.st_dev;
        std::vector<unsigned char> buffer(kFingerprintBytes);
        Checksum sum;
        const ssize_t head = ::pread(fd, buffer.data(), buffer.size(), 0);
        if (head > 0)
            sum.add(buffer.data(), static_cast<size_t>(head));
        const off_t tailAt = st.st_size > static_cast<off_t>(kFingerprintBytes)
                                 ? st.st_size - static_cast<off_t>(kFingerprintBytes)
                                 : 0;
        const ssize_t tail = ::pread(fd, buffer.data(), buffer.size(), tailAt);
        if (tail > 0)
            sum.add(buffer.data(), static_cast<size_t>(tail));
        identity.content = sum.value();
    }
    ::close(fd);
    return identity;
}

// Appends values to a byte buffer.
class Writer {
  public:
    template <typename T> void put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        append(&value, sizeof value);
    }
    template <typename T> void putAll(const std::vector<T>& values) {
        put<uint64_t>(values.size());
        append(values.data(), values.size() * sizeof(T));
    }
    void putText(const std::string& text) {
        put<uint64_t>(text.size());
        append(text.data(), text.size());
    }
    const std::string& bytes() const { return bytes_; }

  private:
    void append(const void* data, size_t size) {
        bytes_.append(static_cast<const char*>(data), size);
    }
    std::string bytes_;
};

// Reads values from a file, summing what it reads; every read is checked
// against what is left of the payload, so a damaged length cannot make it
// allocate or read past the end.
class Reader {
  public:
    Reader(std::FILE* file, uint64_t size) : file_(file), left_(size) {}

    template <typename T> bool get(T& value) { return take(&value, sizeof value); }
    template <typename T> bool getAll(std::vector<T>& values) {
        uint64_t count;
        if (!get(count) || count > left_ / sizeof(T))
            return false;
        values.resize(count);
        return take(values.data(), count * sizeof(T));
    }
    bool getText(std::string& text) {
        uint64_t size;
        if (!get(size) || size > left_)
            return false;
        text.resize(size);
        return take(text.data(), size);
    }
    bool atEnd() const { return left_ == 0; }
    uint64_t checksum() const { return sum_.value(); }

  private:
    bool take(void* data, uint64_t size) {
        if (size > left_ || (size > 0 && std::fread(data, 1, size, file_) != size))
            return false;
        left_ -= size;
        sum_.add(data, size);
        return true;
    }
    std::FILE* file_;
    uint64_t left_;
    Checksum sum_;
};

void makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
}

bool writeWhole(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

// Reads and writes the index's arrays; a friend of ReferenceIndex.
class IndexFile {
  public:
    static void put(Writer& out, const ReferenceIndex& index) {
        out.put<uint64_t>(index.unread_.size());
        for (const std::string& file : index.unread_)
            out.putText(file);
        out.put<uint64_t>(index.faces_.size());
        for (const ReferenceFace& face : index.faces_) {
            out.putText(face.path);
            out.put<int32_t>(face.faceIndex);
        }
        out.putAll(index.codes_);
        out.putAll(index.faceOf_);
        out.putAll(index.scales_);
        out.putAll(index.vectors_);
        out.putAll(index.clusterStarts_);
        out.putAll(index.centres_);
        out.putAll(index.centreHalfNorms_);
    }

    static bool get(Reader& in, ReferenceIndex& index) {
        uint64_t unread;
        if (!in.get(unread) || unread > UINT16_MAX)
            return false;
        index.unread_.resize(unread);
        for (std::string& file : index.unread_)
            if (!in.getText(file))
                return false;
        uint64_t faces;
        if (!in.get(faces) || faces > UINT16_MAX)
            return false;
        index.faces_.resize(faces);
        for (ReferenceFace& face : index.faces_) {
            int32_t faceIndex;
            if (!in.getText(face.path) || !in.get(faceIndex))
                return false;
            face.faceIndex = faceIndex;
        }
        return in.getAll(index.codes_) && in.getAll(index.faceOf_) && in.getAll(index.scales_) &&
               in.getAll(index.vectors_) && in.getAll(index.clusterStarts_) &&
               in.getAll(index.centres_) && in.getAll(index.centreHalfNorms_) &&
               consistent(index) && (index.takeCoarse(), true);
    }

  private:
    // The arrays agree with each other, so that no search reads out of bounds.
    static bool consistent(const ReferenceIndex& index) {
        const size_t n = index.codes_.size();
        const size_t clusters = index.centreHalfNorms_.size();
        if (index.faceOf_.size() != n || index.scales_.size() != n ||
            index.vectors_.size() != n * kFeatureDims ||
            index.centres_.size() != clusters * kCoarseDims ||
            index.clusterStarts_.size() != clusters + 1 || index.clusterStarts_.front() != 0 ||
            index.clusterStarts_.back() != n)
            return false;
        for (size_t c = 0; c < clusters; ++c)
            if (index.clusterStarts_[c] > index.clusterStarts_[c + 1])
                return false;
        for (uint16_t face : index.faceOf_)
            if (face >= index.faces_.size())
                return false;
        return true;
    }
};

std::string indexCachePath() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/')
        return std::string(cache) + "/" + kCacheFolder + "/" + kCacheFile;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return std::string(home) + "/.cache/" + kCacheFolder + "/" + kCacheFile;
    return {};
}

bool saveIndex(const ReferenceIndex& index, const std::vector<std::string>& fontFiles,
               const std::string& path) {
    Writer payload;
    payload.put<uint64_t>(fontFiles.size());
    for (const std::string& file : fontFiles) {
        payload.putText(file);
        payload.put(identityOf(file));
    }
    IndexFile::put(payload, index);
    Checksum sum;
    sum.add(payload.bytes().data(), payload.bytes().size());
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kFormatVersion;
    header.byteOrder = kByteOrderMark;
    header.featureDims = kFeatureDims;
    header.coarseDims = kCoarseDims;
    header.projection = projectionChecksum();
    header.payloadSize = payload.bytes().size();
    header.payloadChecksum = sum.value();

    makeFolders(path);
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const bool written = writeWhole(fd, reinterpret_cast<const char*>(&header), sizeof header) &&
                         writeWhole(fd, payload.bytes().data(), payload.bytes().size()) &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool loadIndex(const std::string& path, const std::vector<std::string>& fontFiles,
               ReferenceIndex& index) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    Header header;
    bool ok = std::fread(&header, sizeof header, 1, file) == 1 &&
              std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 &&
              header.version == kFormatVersion && header.byteOrder == kByteOrderMark &&
              header.featureDims == kFeatureDims && header.coarseDims == kCoarseDims &&
              header.projection == projectionChecksum();
    ReferenceIndex loaded;
    if (ok) {
        Reader in(file, header.payloadSize);
        uint64_t fonts;
        ok = in.get(fonts) && fonts == fontFiles.size();
        for (size_t i = 0; ok && i < fontFiles.size(); ++i) {
            std::string name;
            FontIdentity identity;
            ok = in.getText(name) && in.get(identity) && name == fontFiles[i] &&
                 identity == identityOf(fontFiles[i]);
        }
        ok = ok && IndexFile::get(in, loaded) && in.atEnd() &&
             in.checksum() == header.payloadChecksum && std::fgetc(file) == EOF;
    }
    std::fclose(file);
    if (ok)
        index = std::move(loaded);
    return ok;
}

CachedIndex loadOrBuildIndex(const std::vector<std::string>& fontFiles,
                             const std::string& cachePath, const BuildProgress& progress) {
    CachedIndex result;
    if (!cachePath.empty() && loadIndex(cachePath, fontFiles, result.index)) {
        result.use = CacheUse::Loaded;
        return result;
    }
    result.index = ReferenceIndex::build(fontFiles, progress);
    const bool saved = !cachePath.empty() && saveIndex(result.index, fontFiles, cachePath);
    result.use = saved ? CacheUse::Written : CacheUse::Unwritten;
    return result;
}

} // namespace kestra::match
