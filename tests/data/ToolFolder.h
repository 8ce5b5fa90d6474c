#pragma once
// A fresh folder for a test that runs one of the data tools: files written
// into it and read back whole. Named after the test program's process, so
// that two test programs never share one.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class ToolFolder : public ::testing::Test {
 protected:
  explicit ToolFolder(const std::string& prefix)
      : dir_(std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(::getpid()))) {
  }
  void SetUp() override {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::filesystem::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
};
