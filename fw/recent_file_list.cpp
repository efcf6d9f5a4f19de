#include "fw/recent_file_list.h"

#include <algorithm>

namespace {

bool sameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

} // namespace

void RecentFileList::SetSize(unsigned maxCount) {
    m_maxCount = maxCount;
    if (m_paths.size() > maxCount)
        m_paths.resize(maxCount);
}

void RecentFileList::Add(const std::string& path) {
    if (path.empty() || m_maxCount == 0)
        return;
    auto same = [&](const std::string& p) { return sameIgnoringAsciiCase(p, path); };
    m_paths.erase(std::remove_if(m_paths.begin(), m_paths.end(), same), m_paths.end());
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > m_maxCount)
        m_paths.resize(m_maxCount);
}
