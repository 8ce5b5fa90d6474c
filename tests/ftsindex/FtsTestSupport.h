#pragma once
// Small helpers shared by the full-text library's tests.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "libs/ftsindex/ftsindex.h"

namespace ftstest {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ftstest-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Builds an index of records (each passed with its zero byte) and writes it.
inline int32_t BuildIndex(const std::string& path, const std::vector<std::string>& records) {
  const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  if (h <= 0) return h;
  for (const auto& r : records) FtsAdd(h, r.c_str());
  return FtsClose(h);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A new file each time: rewriting one in place makes the file system flush it.
inline void WriteFile(const std::string& path, const std::string& data) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

inline size_t EntriesIn(const std::string& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                           std::filesystem::directory_iterator()));
}

// Every candidate of the last FtsSet, in the order given.
inline std::vector<int32_t> Candidates(int32_t h) {
  std::vector<int32_t> out;
  for (int32_t r; (r = FtsNextRec(h)) > 0;) out.push_back(r);
  return out;
}

}  // namespace ftstest
