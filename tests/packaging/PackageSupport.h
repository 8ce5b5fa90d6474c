// The package that scripts/package built for these tests, and running the
// tools that look at it.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/data/ProcessRun.h"

namespace packagetest {

namespace fs = std::filesystem;

// The one .deb in the fixture's output folder; empty when there is none.
inline std::string BuiltPackage() {
  std::string found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PF_PACKAGE_OUT, ec))
    if (entry.path().extension() == ".deb") found = entry.path();
  return found;
}

inline bool HaveTool(const std::string& tool) {
  return RunCommand("command -v " + Quoted(tool)).exitCode == 0;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A folder of its own under /tmp, removed with everything in it (read-only
// folders included).
class Scratch {
 public:
  Scratch() {
    char tmpl[] = "/tmp/package-test-XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~Scratch() {
    RunCommand("chmod -R u+w " + Quoted(path_));
    fs::remove_all(path_);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& child) const { return path_ + "/" + child; }

 private:
  std::string path_;
};

}  // namespace packagetest
