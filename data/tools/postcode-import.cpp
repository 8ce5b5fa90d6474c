// postcode-import [-o TABLE.DBF] FILE...
//
// Turns Korea Post's range files of five-digit zone numbers (범위주소 DB: the
// road-name and the lot-number file) into the finder's postal table. Without
// -o the table beside the program is replaced and kept as POSTCODE.DBF.bak.
// Bad input stops the import with FILE:LINE: what is wrong, and the existing
// table stays byte for byte as it was.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "RangeImport.h"
#include "TablePath.h"

namespace {

constexpr char kUsage[] =
    "usage: postcode-import [-o TABLE.DBF] FILE...\n"
    "Makes the postal table from Korea Post's range files (road-name and lot-number\n"
    "ranges, UTF-8 or CP949). Without -o the finder's own table is replaced (beside\n"
    "the program, or ~/.local/share/postcode-finder/ for an installed program) and\n"
    "the old one kept beside it as POSTCODE.DBF.bak.\n";

// A range file's bytes: mapped when it is a regular file, read otherwise.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() {
    if (map_) ::munmap(map_, mapSize_);
  }

  bool Open(const std::string& path, std::string* why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) return Fail(fd, why);
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      return Fail(fd, why);
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
      void* map = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ,
                         MAP_PRIVATE | MAP_POPULATE, fd, 0);
      if (map != MAP_FAILED) {
        map_ = map;
        mapSize_ = static_cast<size_t>(st.st_size);
        bytes_ = std::string_view(static_cast<const char*>(map), mapSize_);
        ::close(fd);
        return true;
      }
    }
    char buf[1 << 16];
    for (;;) {
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Fail(fd, why);
      if (n == 0) break;
      read_.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    bytes_ = read_;
    return true;
  }
  std::string_view bytes() const { return bytes_; }

 private:
  static bool Fail(int fd, std::string* why) {
    *why = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }

  void* map_ = nullptr;
  size_t mapSize_ = 0;
  std::string read_;
  std::string_view bytes_;
};

postal::DbfDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// A progress line on stderr, only on a terminal and at most ten times a second.
class Progress {
 public:
  Progress() : shown_(::isatty(STDERR_FILENO) == 1) {}
  void Rows(const std::string& file, size_t rows) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    std::fprintf(stderr, "\rpostcode-import: %s: %zu rows", file.c_str(), rows);
    std::fflush(stderr);
  }
  void Clear() {
    if (shown_) std::fprintf(stderr, "\r\033[K");
  }

 private:
  bool shown_;
  std::chrono::steady_clock::time_point last_{};
};

int Refuse(Progress& progress, const std::string& fault, const std::string& target) {
  progress.Clear();
  std::fprintf(stderr, "%s\npostcode-import: no table written; %s is as it was\n", fault.c_str(),
               target.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output;
  std::vector<std::string> files;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!optionsEnd && (arg == "-h" || arg == "--help")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!optionsEnd && arg == "-o") {
      if (i + 1 == argc || !output.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
      }
      output = argv[++i];
    } else if (!optionsEnd && arg == "--") {
      optionsEnd = true;
    } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "postcode-import: unknown option %s\n%s", arg.c_str(), kUsage);
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string target = output.empty() ? postal::DefaultTablePath() : output;
  if (target.empty()) {
    std::fprintf(stderr,
                 "postcode-import: no folder for the table (the program's folder is unknown, or "
                 "the user's data folder cannot be made); name the table with -o\n");
    return 1;
  }
  // Only the finder's own table is kept: a table named with -o is the user's.
  const std::string backup = output.empty() ? target + ".bak" : std::string();

  const auto started = std::chrono::steady_clock::now();
  Progress progress;
  std::vector<std::unique_ptr<InputFile>> inputs;
  size_t inputBytes = 0;
  for (const std::string& file : files) {
    std::string why;
    inputs.push_back(std::make_unique<InputFile>());
    if (!inputs.back()->Open(file, &why))
      return Refuse(progress, file + ": cannot be read: " + why, target);
    inputBytes += inputs.back()->bytes().size();
  }
  postal::RangeTable table;
  table.Reserve(inputBytes);
  std::vector<size_t> rowsPerFile;
  for (size_t i = 0; i < files.size(); ++i) {
    std::string why;
    const size_t before = table.RecordCount();
    if (!table.AddFile(files[i], inputs[i]->bytes(), &why,
                       [&](size_t rows) { progress.Rows(files[i], rows); }))
      return Refuse(progress, why, target);
    rowsPerFile.push_back(table.RecordCount() - before);
    inputs[i].reset();
  }
  if (table.RecordCount() == 0)
    return Refuse(progress, "postcode-import: the files hold no rows", target);

  const postal::DbfDate today = Today();
  std::string why;
  if (!postal::WriteStreamAtomically(
          target, [&](const postal::ByteSink& sink) { return table.WriteImage(today, sink); }, &why,
          backup))
    return Refuse(progress, "postcode-import: " + why, target);
  progress.Clear();

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::string summary = "postcode-import: rows read:";
  for (size_t i = 0; i < files.size(); ++i)
    summary +=
        " " + files[i] + " " + std::to_string(rowsPerFile[i]) + (i + 1 < files.size() ? "," : ";");
  std::printf("%s %zu records written to %s in %.2f s\n", summary.c_str(), table.RecordCount(),
              target.c_str(), seconds);
  return 0;
}
