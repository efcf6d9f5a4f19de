#include "match/default_references.h"

namespace kestra::match {

const std::vector<DefaultReference>& defaultReferences() {
    // TW-Sung-Plus, of the same package, is left out: its characters sit in
    // private use.
    static const std::vector<DefaultReference> references = {
        {"/usr/share/fonts/truetype/cns11643/TW-Sung-98_1.ttf", "fonts-cns11643-sung"},
        {"/usr/share/fonts/truetype/cns11643/TW-Sung-Ext-B-98_1.ttf", "fonts-cns11643-sung"},
        {"/usr/share/fonts/truetype/hanazono/HanaMinA.ttf", "fonts-hanazono"},
        {"/usr/share/fonts/truetype/hanazono/HanaMinB.ttf", "fonts-hanazono"},
        {"/usr/share/fonts/truetype/babelstone/BabelStoneHan.ttf", "fonts-babelstone-han"},
    };
    return references;
}

} // namespace kestra::match
