/*
 * An LD_PRELOAD shim that cuts an input file short while a program reads it:
 * right after the program's first read of that file (or its mapping of it),
 * the file is truncated, as when another program rewrites it at that moment.
 *
 *   PF_SHRINK_FILE=path   the file (as the program names it, resolved)
 *   PF_SHRINK_TO=bytes    its size after the cut
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

static int done;

static int is_target(int fd) {
  const char* want = getenv("PF_SHRINK_FILE");
  if (done || !want || fd < 0) return 0;
  char link[64], path[PATH_MAX], resolved[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0) return 0;
  path[n] = '\0';
  return realpath(want, resolved) && strcmp(path, resolved) == 0;
}

/* The program's descriptor may be read-only: the file is cut by its name. */
static void cut(void) {
  done = 1;
  const char* to = getenv("PF_SHRINK_TO");
  if (truncate(getenv("PF_SHRINK_FILE"), to ? atoll(to) : 0) != 0) perror("shrink_inject");
}

ssize_t read(int fd, void* buf, size_t n) {
  static __typeof__(&read) real;
  if (!real) real = (__typeof__(&read))dlsym(RTLD_NEXT, "read");
  const ssize_t got = real(fd, buf, n);
  if (got > 0 && is_target(fd)) cut();
  return got;
}

void* mmap(void* at, size_t n, int prot, int flags, int fd, off_t offset) {
  static __typeof__(&mmap) real;
  if (!real) real = (__typeof__(&mmap))dlsym(RTLD_NEXT, "mmap");
  void* map = real(at, n, prot, flags, fd, offset);
  if (map != MAP_FAILED && is_target(fd)) cut();
  return map;
}

void* mmap64(void* at, size_t n, int prot, int flags, int fd, off_t offset) {
  return mmap(at, n, prot, flags, fd, offset);
}
