// The reference fonts used when none are given: the packaged faces that
// between them cover the CJK blocks, all of Song (Ming) style.
#pragma once

#include <string>
#include <vector>

namespace kestra::match {

struct DefaultReference {
    std::string path;
    std::string package; // the Debian package that installs it
};

const std::vector<DefaultReference>& defaultReferences();

} // namespace kestra::match
