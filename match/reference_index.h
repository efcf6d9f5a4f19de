// The glyphs of the reference fonts, one prototype per face that has a
// character, and the search for the standard character nearest a glyph.
//
// The search first ranks the prototypes by the leading dimensions of their
// features (the projection orders them by how well they tell characters
// apart), looking only into the clusters nearest the query (an inverted file:
// the prototypes grouped around centres found by k-means); the best of those
// are then compared in full.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "match/glyph_features.h"

namespace kestra::match {

// A face of a reference font file (a collection holds several).
struct ReferenceFace {
    std::string path;
    int faceIndex = 0;
};

struct Suggestion {
    char32_t code = 0; // 0: no standard character is close enough
    // Of the nearest prototype, close enough or not: 0 to 1 from suggest().
    float similarity = 0;
    int face = -1; // into ReferenceIndex::faces(): the face the prototype came from
};

// Called now and then while an index is built: glyphs done of all.
using BuildProgress = std::function<void(size_t done, size_t total)>;

class ReferenceIndex {
  public:
    // Below this similarity a query has no standard counterpart. Measured on
    // glyphs of known characters from a Ming and a Kai typeface and on mirror
    // images of characters (bench/measure_matching.py): at 0.73, 2.8 % and
    // 1.8 % of the mirror images still got a suggestion, and no right Ming
    // one and 8 % of the right Kai ones were lost.
    static constexpr float kLeastSimilarity = 0.73f;

    // The index of every face of the given font files. A file that cannot be
    // read, or a face without outlines, adds nothing.
    static ReferenceIndex build(const std::vector<std::string>& fontFiles,
                                const BuildProgress& progress);

    // The best prototype's character when it is close enough, and its
    // similarity either way (how close the nearest came).
    Suggestion suggest(const Features& query) const;
    // The nearest characters, best first, each once, with their similarity;
    // no threshold.
    std::vector<Suggestion> nearest(const Features& query, size_t count) const;

    const std::vector<ReferenceFace>& faces() const { return faces_; }
    // The given files that could not be read as fonts.
    const std::vector<std::string>& unreadFiles() const { return unread_; }
    size_t size() const { return codes_.size(); }

  private:
    friend class IndexFile;

    void cluster();
    void takeCoarse();
    float fullSimilarity(const Features& query, size_t prototype) const;

    std::vector<ReferenceFace> faces_;
    std::vector<std::string> unread_;
    // Per prototype, in cluster order.
    std::vector<char32_t> codes_;
    std::vector<uint16_t> faceOf_;
    std::vector<float> scales_;   // a prototype's features are vectors_ * scale
    std::vector<int8_t> vectors_; // kFeatureDims per prototype
    std::vector<float> coarse_;   // the leading kCoarseDims of each, scaled: the first ranking's
    // Cluster c holds prototypes [clusterStarts_[c], clusterStarts_[c + 1]).
    std::vector<uint32_t> clusterStarts_;
    std::vector<float> centres_;         // kCoarseDims per cluster
    std::vector<float> centreHalfNorms_; // |centre|^2 / 2
};

// The dimensions the first ranking uses.
constexpr int kCoarseDims = 32;

} // namespace kestra::match
