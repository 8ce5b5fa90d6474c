#include "bench/scale/ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sstream>

extern char** environ;

namespace scalebench {
namespace {

// Reads a descriptor to its end.
std::string ReadAll(int fd) {
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return text;
}

std::string OwnPath() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

}  // namespace

std::string SiblingProgram(const std::string& name) {
  return std::filesystem::path(OwnPath()).parent_path().string() + "/" + name;
}

ChildRun RunProgram(const Program& program) {
  ChildRun run;
  // Through bench-scale-spawn beside this program, which times the program
  // and reports its rusage on descriptor 3.
  std::vector<std::string> words = {SiblingProgram("bench-scale-spawn"), program.path};
  words.insert(words.end(), program.args.begin(), program.args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  int out[2], report[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return run;
  if (::pipe2(report, O_CLOEXEC) != 0) {
    ::close(out[0]);
    ::close(out[1]);
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, report[1], 3);
  if (!program.workingFolder.empty())
    posix_spawn_file_actions_addchdir_np(&actions, program.workingFolder.c_str());
  if (!program.inputFile.empty())
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, program.inputFile.c_str(), O_RDONLY,
                                     0);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(report[1]);
  if (spawned != 0) {
    ::close(out[0]);
    ::close(report[0]);
    return run;
  }
  const std::string text = ReadAll(out[0]);
  const std::string figures = ReadAll(report[0]);
  int launcher = 0;
  while (::waitpid(pid, &launcher, 0) < 0 && errno == EINTR) {
  }
  long long ns = 0, peakKb = 0, cpuUs = 0;
  int status = 0;
  if (!WIFEXITED(launcher) || WEXITSTATUS(launcher) != 0 ||
      std::sscanf(figures.c_str(), "%lld %lld %lld %d", &ns, &peakKb, &cpuUs, &status) != 4) {
    std::fprintf(stderr, "bench-scale: %s did not run %s\n", argv[0], program.path.c_str());
    return run;
  }
  run.wallMs = static_cast<double>(ns) / 1e6;
  run.peakRssMb = static_cast<double>(peakKb) / 1024.0;  // kilobytes on Linux
  run.cpuSeconds = static_cast<double>(cpuUs) / 1e6;
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.ok = run.exitStatus == 0;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string tag, name;
    double value = 0;
    if (words >> tag >> name >> value && tag == "FIGURE")
      run.figures[name] = value;
    else
      run.output += line + "\n";
  }
  return run;
}

ChildRun RunChild(const std::string& mode, const std::vector<std::string>& args) {
  Program self{OwnPath(), {"--child", mode}, {}, {}};
  self.args.insert(self.args.end(), args.begin(), args.end());
  return RunProgram(self);
}

void ReportFigure(const std::string& name, double value) {
  std::printf("FIGURE %s %.17g\n", name.c_str(), value);
  std::fflush(stdout);
}

}  // namespace scalebench
