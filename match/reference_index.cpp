#include "match/reference_index.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <utility>

#include "match/standard_code_points.h"

namespace kestra::match {
namespace {

// Prototypes per cluster on average, and clusters looked into per query. On
// the Ming labelled font (bench/) 96 % of the queries find the character that
// comparing every prototype in full finds, in a sixtieth of the time.
constexpr size_t kClusterSize = 256;
constexpr size_t kProbes = 12;
// Prototypes compared in full after the first ranking.
constexpr size_t kShortlist = 64;
constexpr int kKMeansRounds = 6;
constexpr size_t kKMeansSamplesPerCluster = 48;
constexpr size_t kProgressEvery = 2048;

struct Entry {
    char32_t code;
    FT_UInt glyph;
};

// The face's standard characters, each glyph once per character, in glyph
// order (so the font file is read front to back).
std::vector<Entry> standardEntries(FT_Face face) {
    std::vector<Entry> entries;
    FT_UInt glyph;
    for (FT_ULong code = FT_Get_First_Char(face, &glyph); glyph != 0;
         code = FT_Get_Next_Char(face, code, &glyph)) {
        const char32_t standard = standardCharacterOf(static_cast<char32_t>(code));
        if (standard != 0)
            entries.push_back({standard, glyph});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.glyph != b.glyph ? a.glyph < b.glyph : a.code < b.code;
    });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const Entry& a, const Entry& b) {
                                  return a.glyph == b.glyph && a.code == b.code;
                              }),
                  entries.end());
    return entries;
}

// Owns a FreeType library and one face at a time.
class FaceReader {
  public:
    FaceReader() { ok_ = FT_Init_FreeType(&library_) == 0; }
    ~FaceReader() {
        close();
        if (ok_)
            FT_Done_FreeType(library_);
    }
    FaceReader(const FaceReader&) = delete;
    FaceReader& operator=(const FaceReader&) = delete;

    // The number of faces in the file; 0 when it is no font FreeType reads.
    int faceCount(const std::string& path) {
        if (!open(path, -1))
            return 0;
        const int count = static_cast<int>(face_->num_faces);
        close();
        return count;
    }
    bool open(const std::string& path, int index) {
        close();
        return ok_ && FT_New_Face(library_, path.c_str(), index, &face_) == 0;
    }
    void close() {
        if (face_ != nullptr)
            FT_Done_Face(face_);
        face_ = nullptr;
    }
    FT_Face face() const { return face_; }

  private:
    bool ok_ = false;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Eight running sums, so that the compiler may keep them in vector registers
// (it may not reorder one sum's additions by itself). n is a multiple of 8.
template <typename T> float dot(const float* a, const T* b, int n) {
    float sums[8] = {};
    for (int j = 0; j < n; j += 8)
        for (int k = 0; k < 8; ++k)
            sums[k] += a[j + k] * static_cast<float>(b[j + k]);
    return ((sums[0] + sums[1]) + (sums[2] + sums[3])) +
           ((sums[4] + sums[5]) + (sums[6] + sums[7]));
}

// Nearest centre by distance: the largest c.x - |c|^2 / 2.
size_t nearestCentre(const float* x, const std::vector<float>& centres,
                     const std::vector<float>& halfNorms) {
    size_t best = 0;
    float bestScore = -INFINITY;
    for (size_t c = 0; c < halfNorms.size(); ++c) {
        const float score = dot(x, &centres[c * kCoarseDims], kCoarseDims) - halfNorms[c];
        if (score > bestScore) {
            bestScore = score;
            best = c;
        }
    }
    return best;
}

// The leading kCoarseDims of each prototype's features, scaled.
std::vector<float> coarseOf(const std::vector<int8_t>& vectors, const std::vector<float>& scales) {
    const size_t n = scales.size();
    std::vector<float> coarse(n * kCoarseDims);
    for (size_t i = 0; i < n; ++i)
        for (int j = 0; j < kCoarseDims; ++j)
            coarse[i * kCoarseDims + j] = vectors[i * kFeatureDims + j] * scales[i];
    return coarse;
}

std::vector<float> halfNormsOf(const std::vector<float>& centres) {
    std::vector<float> half(centres.size() / kCoarseDims);
    for (size_t c = 0; c < half.size(); ++c)
        half[c] = dot(&centres[c * kCoarseDims], &centres[c * kCoarseDims], kCoarseDims) / 2;
    return half;
}

} // namespace

ReferenceIndex ReferenceIndex::build(const std::vector<std::string>& fontFiles,
                                     const BuildProgress& progress) {
    ReferenceIndex index;
    FaceReader reader;
    std::vector<std::vector<Entry>> entries;
    size_t total = 0;
    for (const std::string& path : fontFiles) {
        const int count = reader.faceCount(path);
        if (count == 0)
            index.unread_.push_back(path);
        for (int i = 0; i < count; ++i) {
            if (!reader.open(path, i) || !FT_IS_SCALABLE(reader.face()))
                continue;
            index.faces_.push_back({path, i});
            entries.push_back(standardEntries(reader.face()));
            total += entries.back().size();
        }
    }
    index.codes_.reserve(total);
    index.faceOf_.reserve(total);
    index.scales_.reserve(total);
    index.vectors_.reserve(total * kFeatureDims);
    GlyphFeatures extractor;
    Features features;
    size_t done = 0;
    for (size_t f = 0; f < index.faces_.size(); ++f) {
        if (!reader.open(index.faces_[f].path, index.faces_[f].faceIndex))
            continue;
        for (const Entry& entry : entries[f]) {
            if (++done % kProgressEvery == 0 && progress)
                progress(done, total);
            if (!extractor.features(reader.face(), entry.glyph, features))
                continue;
            index.codes_.push_back(entry.code);
            index.faceOf_.push_back(static_cast<uint16_t>(f));
            float largest = 0;
            for (float v : features)
                largest = std::max(largest, std::fabs(v));
            const float scale = largest > 0 ? largest / 127 : 1;
            index.scales_.push_back(scale);
            for (float v : features)
                index.vectors_.push_back(static_cast<int8_t>(std::lround(v / scale)));
        }
        reader.close();
    }
    if (progress)
        progress(total, total);
    index.cluster();
    return index;
}

// Groups the prototypes around k-means centres of their leading dimensions,
// learned from a sample, and puts them in cluster order.
void ReferenceIndex::cluster() {
    const size_t n = codes_.size();
    const size_t clusters = std::max<size_t>(1, n / kClusterSize);
    const std::vector<float> coarse = coarseOf(vectors_, scales_);
    std::mt19937 random(20240521);
    std::vector<size_t> sample(n);
    std::iota(sample.begin(), sample.end(), 0);
    std::shuffle(sample.begin(), sample.end(), random);
    sample.resize(std::min(n, clusters * kKMeansSamplesPerCluster));
    centres_.assign(clusters * kCoarseDims, 0);
    for (size_t c = 0; c < clusters && c < sample.size(); ++c)
        std::copy_n(&coarse[sample[c] * kCoarseDims], kCoarseDims, &centres_[c * kCoarseDims]);
    std::vector<uint32_t> assigned(n);
    for (int round = 0; round < kKMeansRounds; ++round) {
        const std::vector<float> half = halfNormsOf(centres_);
        std::vector<float> sums(centres_.size(), 0);
        std::vector<size_t> counts(clusters, 0);
        for (size_t s : sample) {
            const size_t c = nearestCentre(&coarse[s * kCoarseDims], centres_, half);
            ++counts[c];
            for (int j = 0; j < kCoarseDims; ++j)
                sums[c * kCoarseDims + j] += coarse[s * kCoarseDims + j];
        }
        for (size_t c = 0; c < clusters; ++c)
            if (counts[c] > 0)
                for (int j = 0; j < kCoarseDims; ++j)
                    centres_[c * kCoarseDims + j] = sums[c * kCoarseDims + j] / counts[c];
    }
    centreHalfNorms_ = halfNormsOf(centres_);
    for (size_t i = 0; i < n; ++i)
        assigned[i] = static_cast<uint32_t>(
            nearestCentre(&coarse[i * kCoarseDims], centres_, centreHalfNorms_));
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return assigned[a] < assigned[b]; });
    clusterStarts_.assign(clusters + 1, 0);
    for (size_t i = 0; i < n; ++i)
        ++clusterStarts_[assigned[i] + 1];
    std::partial_sum(clusterStarts_.begin(), clusterStarts_.end(), clusterStarts_.begin());
    std::vector<char32_t> codes(n);
    std::vector<uint16_t> faceOf(n);
    std::vector<float> scales(n);
    std::vector<int8_t> vectors(n * kFeatureDims);
    for (size_t i = 0; i < n; ++i) {
        codes[i] = codes_[order[i]];
        faceOf[i] = faceOf_[order[i]];
        scales[i] = scales_[order[i]];
        std::copy_n(&vectors_[order[i] * kFeatureDims], kFeatureDims, &vectors[i * kFeatureDims]);
    }
    codes_ = std::move(codes);
    faceOf_ = std::move(faceOf);
    scales_ = std::move(scales);
    vectors_ = std::move(vectors);
    takeCoarse();
}

void ReferenceIndex::takeCoarse() {
    coarse_ = coarseOf(vectors_, scales_);
}

float ReferenceIndex::fullSimilarity(const Features& query, size_t prototype) const {
    return dot(query.data(), &vectors_[prototype * kFeatureDims], kFeatureDims) *
           scales_[prototype];
}

std::vector<Suggestion> ReferenceIndex::nearest(const Features& query, size_t count) const {
    const size_t clusters = clusterStarts_.empty() ? 0 : clusterStarts_.size() - 1;
    std::vector<std::pair<float, uint32_t>> centres(clusters);
    for (size_t c = 0; c < clusters; ++c)
        centres[c] = {dot(query.data(), &centres_[c * kCoarseDims], kCoarseDims) -
                          centreHalfNorms_[c],
                      static_cast<uint32_t>(c)};
    const size_t probes = std::min(kProbes, clusters);
    std::partial_sort(centres.begin(), centres.begin() + probes, centres.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::pair<float, uint32_t>> ranked;
    for (size_t p = 0; p < probes; ++p) {
        const uint32_t c = centres[p].second;
        for (uint32_t i = clusterStarts_[c]; i < clusterStarts_[c + 1]; ++i)
            ranked.push_back(
                {dot(query.data(), &coarse_[size_t{i} * kCoarseDims], kCoarseDims), i});
    }
    const size_t shortlist = std::min(kShortlist, ranked.size());
    std::partial_sort(ranked.begin(), ranked.begin() + shortlist, ranked.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<Suggestion> found;
    for (size_t k = 0; k < shortlist; ++k) {
        const uint32_t i = ranked[k].second;
        found.push_back({codes_[i], fullSimilarity(query, i), faceOf_[i]});
    }
    std::stable_sort(found.begin(), found.end(), [](const Suggestion& a, const Suggestion& b) {
        return a.similarity > b.similarity;
    });
    std::vector<Suggestion> best;
    for (const Suggestion& s : found) {
        if (best.size() == count)
            break;
        if (std::none_of(best.begin(), best.end(),
                         [&](const Suggestion& b) { return b.code == s.code; }))
            best.push_back(s);
    }
    return best;
}

Suggestion ReferenceIndex::suggest(const Features& query) const {
    const std::vector<Suggestion> best = nearest(query, 1);
    if (best.empty())
        return {};
    const float similarity = std::clamp(best[0].similarity, 0.0f, 1.0f);
    if (best[0].similarity < kLeastSimilarity)
        return {0, similarity, -1};
    return {best[0].code, similarity, best[0].face};
}

} // namespace kestra::match
