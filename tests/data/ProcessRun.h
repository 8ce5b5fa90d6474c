#pragma once
// Runs a command line through the shell and collects its exit code and its
// standard output and error together.
#include <sys/wait.h>
#include <cstdio>
#include <string>

struct ProcessResult {
  int exitCode = -1;
  std::string output;
};

inline ProcessResult RunCommand(const std::string& command) {
  ProcessResult result;
  std::FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return result;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) result.output.append(buf, n);
  const int status = pclose(p);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

inline std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
