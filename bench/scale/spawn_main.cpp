// bench-scale-spawn: runs a program and writes to descriptor 3
//   "<wall ns> <peak resident kB> <user+system us> <wait status>"
// Linux starts a child's peak resident memory at the size of whoever
// spawned it, so bench-scale, large after generating its table, measures
// programs through this small process.
//   bench-scale-spawn <program> [args...]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 2) return 127;
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) return 127;
  int status = 0;
  struct rusage usage {};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  const long long ns = (end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
  const long long cpuUs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                          usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
  std::FILE* report = fdopen(3, "w");
  if (!report) return 127;
  std::fprintf(report, "%lld %ld %lld %d\n", ns, usage.ru_maxrss, cpuUs, status);
  return std::fclose(report) == 0 ? 0 : 127;
}
