/*
 * An LD_PRELOAD shim that makes the writes of a program fail or kills it in
 * the middle of them, to prove that its files are written through a
 * temporary file and a rename.
 *
 * Counted calls: write, pwrite and fwrite to a regular file (stdio writes
 * through libc's internal calls, so fwrite is caught itself), fsync and fdatasync,
 * rename, renameat and renameat2 (calls on pipes, sockets and terminals pass
 * untouched and uncounted: the event loop and the output are not files).
 *
 *   PF_FAULT_DIR=folder                   only files in this folder count
 *                                         (not a font cache, say)
 *   PF_FAULT_FAIL=write|fsync|rename[:N]  the Nth (default first) call of
 *                                         that kind fails (ENOSPC for write,
 *                                         EIO for fsync and rename)
 *   PF_FAULT_KILL_AT=N                    SIGKILL right before counted call N
 *   PF_FAULT_LOG=path                     one line per counted call
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum kind { kWrite, kSync, kRename };
static const char* const kNames[] = {"write", "fsync", "rename"};

static int seen[3];
static int counted;

static int in_scope(const char* path) {
  const char* dir = getenv("PF_FAULT_DIR");
  return !dir || strncmp(path, dir, strlen(dir)) == 0;
}

static int fd_in_scope(int fd) {
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0) return 0;
  path[n] = '\0';
  return in_scope(path);
}

/* A regular file (or, for fsync, a folder) in scope. */
static int is_file(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) && fd_in_scope(fd);
}

static int path_in_scope(int dirfd, const char* path) {
  char full[4096];
  if (path[0] == '/') return in_scope(path);
  if (dirfd != AT_FDCWD) return fd_in_scope(dirfd);
  if (!getcwd(full, sizeof full)) return 0;
  return in_scope(full);
}

static void log_call(const char* what) {
  const char* path = getenv("PF_FAULT_LOG");
  if (!path) return;
  static __typeof__(&write) real_write;
  if (!real_write) real_write = (__typeof__(&write))dlsym(RTLD_NEXT, "write");
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  char line[64];
  const int n = snprintf(line, sizeof line, "%d %s\n", counted, what);
  if (n > 0) real_write(fd, line, (size_t)n);
  close(fd);
}

/* Counts the call; answers non-zero when it must fail. */
static int fault(enum kind k) {
  ++counted;
  ++seen[k];
  log_call(kNames[k]);
  const char* kill_at = getenv("PF_FAULT_KILL_AT");
  if (kill_at && atoi(kill_at) == counted) kill(getpid(), SIGKILL);
  const char* fail = getenv("PF_FAULT_FAIL");
  if (!fail) return 0;
  const size_t len = strlen(kNames[k]);
  if (strncmp(fail, kNames[k], len) != 0 || (fail[len] != '\0' && fail[len] != ':')) return 0;
  const int nth = fail[len] == ':' ? atoi(fail + len + 1) : 1;
  return seen[k] == nth;
}

/* The next definition of the function: libc's (or a sanitizer's). */
#define REAL(name)               \
  static __typeof__(&name) real; \
  if (!real) real = (__typeof__(&name))dlsym(RTLD_NEXT, #name)

ssize_t write(int fd, const void* buf, size_t n) {
  REAL(write);
  if (fd > 2 && is_file(fd) && fault(kWrite)) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, buf, n);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) {
  REAL(pwrite);
  if (fd > 2 && is_file(fd) && fault(kWrite)) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, buf, n, at);
}

ssize_t pwrite64(int fd, const void* buf, size_t n, off_t at) {
  REAL(pwrite64);
  if (fd > 2 && is_file(fd) && fault(kWrite)) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, buf, n, at);
}

size_t fwrite(const void* buf, size_t size, size_t n, FILE* f) {
  REAL(fwrite);
  const int fd = fileno(f);
  if (fd > 2 && is_file(fd) && fault(kWrite)) {
    errno = ENOSPC;
    return 0;
  }
  return real(buf, size, n, f);
}

int fsync(int fd) {
  REAL(fsync);
  if (is_file(fd) && fault(kSync)) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}

int fdatasync(int fd) {
  REAL(fdatasync);
  if (is_file(fd) && fault(kSync)) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}

int rename(const char* from, const char* to) {
  REAL(rename);
  if (path_in_scope(AT_FDCWD, to) && fault(kRename)) {
    errno = EIO;
    return -1;
  }
  return real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
  REAL(renameat);
  if (path_in_scope(toDir, to) && fault(kRename)) {
    errno = EIO;
    return -1;
  }
  return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  REAL(renameat2);
  if (path_in_scope(toDir, to) && fault(kRename)) {
    errno = EIO;
    return -1;
  }
  return real(fromDir, from, toDir, to, flags);
}
