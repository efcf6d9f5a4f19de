// The recent-file list: most recent first, at most a fixed number of paths,
// each once (compared without regard to ASCII case).
#pragma once

#include <string>
#include <vector>

class RecentFileList {
  public:
    void SetSize(unsigned maxCount);
    unsigned GetSize() const { return m_maxCount; }
    void Add(const std::string& path);
    const std::vector<std::string>& Paths() const { return m_paths; }

  private:
    unsigned m_maxCount = 0;
    std::vector<std::string> m_paths;
};
