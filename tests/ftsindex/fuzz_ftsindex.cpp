// libFuzzer target over the full-text library (FtsOpen + FtsSet + FtsNextRec,
// FtsProven, FtsCheck, FtsVerify and FtsMatchSpans, and building), built by
// scripts/fuzz-all from the library's sources with FTS_FUZZING, which skips
// the checksums so that mutated files reach the layout checks.
//
// Input, by its first byte b:
//   b < 0x80  reading: b % 64 bytes of search text, then an index file;
//             FtsOpen + FtsSet + FtsNextRec + FtsCheck + FtsVerify on it.
//             Checked: a file that FtsCheck passes fails no search.
//   b >= 0x80 building: lines of text, the first the search text and every
//             other a record; FtsCreate + FtsAdd + FtsClose, then the index
//             opened again and searched. Checked: every record that FtsMatch
//             or FtsVerify confirms (in any mode) is among the candidates,
//             and both always agree.
// Built with FTS_FUZZ_SEEDS instead, it writes a seed corpus to argv[1].
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "libs/ftsindex/ftsindex.h"

#ifndef FTS_FUZZ_SEEDS
namespace {

std::string FdPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

int ReadIndex(const uint8_t* data, size_t size) {
  const size_t textLength = std::min<size_t>(data[0] % 64, size - 1);
  const std::string text(reinterpret_cast<const char*>(data + 1), textLength);
  const uint8_t* file = data + 1 + textLength;
  const size_t fileSize = size - 1 - textLength;

  const int fd = memfd_create("fts-fuzz", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (fileSize && write(fd, file, fileSize) != static_cast<ssize_t>(fileSize)) {
    close(fd);
    return 0;
  }
  const int32_t h = FtsOpen(FdPath(fd).c_str(), 20, 1);
  close(fd);
  if (h <= 0) return 0;
  const int32_t records = FtsNumRecs(h);
  const int32_t set = FtsSet(h, text.c_str());
  int32_t previous = 0, seen = 0;
  for (int32_t r; (r = FtsNextRec(h)) > 0;) {
    // Candidates ascend, lie within the index and are as many as announced.
    if (r <= previous || r > records || ++seen > set) abort();
    previous = r;
  }
  if (set > 0 && seen != set) abort();
  const int32_t proven = FtsProven(h);
  if (proven != 0 && proven != 1) abort();
  const int32_t checked = FtsCheck(h);
  if (checked != 0 && checked != FTS_ERR_FORMAT) abort();
  // Whatever a search reads, the full check has read and passed.
  if (checked == 0 && set == FTS_ERR_FORMAT) abort();
  const std::string record = " " + text + " tail";
  const int32_t v = FtsVerify(h, record.c_str(), text.c_str(), 3);
  if (v != 0 && v != 1 && v != FTS_ERR_TOO_LONG) abort();
  // The spans agree with the verification and stay inside the record,
  // ascending and apart.
  int32_t spans[2 * 16];
  const int32_t count = FtsMatchSpans(h, record.data(), static_cast<int32_t>(record.size()),
                                      text.c_str(), 3, spans, 16);
  if (count < 0 ? count != v : (count > 0) != (v == 1)) abort();
  for (int32_t i = 0, end = -1; i < std::min(count, 16); ++i) {
    if (spans[2 * i] <= end || spans[2 * i] >= spans[2 * i + 1] ||
        spans[2 * i + 1] > static_cast<int32_t>(record.size()))
      abort();
    end = spans[2 * i + 1];
  }
  FtsClose(h);
  return 0;
}

// A folder in memory: the build's write (temporary file, sync, rename)
// costs no disk.
const std::string& BuildFolder() {
  static const std::string folder = [] {
    std::string f = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    f += "/fuzz-fts-" + std::to_string(getpid());
    mkdir(f.c_str(), 0700);
    return f;
  }();
  return folder;
}

int BuildIndex(const uint8_t* data, size_t size) {
  std::vector<std::string> lines(1);
  for (size_t i = 1; i < size && lines.size() <= 512; ++i) {
    if (data[i] == '\n')
      lines.emplace_back();
    else
      lines.back().push_back(static_cast<char>(data[i]));
  }
  // A record ends at its zero byte, as the program's record buffer does.
  for (std::string& l : lines) l.resize(std::strlen(l.c_str()));
  const std::string& text = lines[0];
  const std::vector<std::string> records(lines.begin() + 1, lines.end());
  const std::string path = BuildFolder() + "/I.FTS";
  int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  if (h <= 0) return 0;
  int32_t added = 0;
  for (const std::string& r : records) {
    // Every record takes its number, also one refused for its length.
    const int32_t n = FtsAdd(h, r.c_str());
    if (n != ++added && n != FTS_ERR_RECORD) abort();
  }
  if (FtsClose(h) != 0) return 0;
  h = FtsOpen(path.c_str(), 20, 1);
  if (h <= 0) abort();  // what the library wrote, it reads
  if (FtsNumRecs(h) != added || FtsCheck(h) != 0) abort();
  const int32_t set = FtsSet(h, text.c_str());
  std::vector<int32_t> candidates;
  for (int32_t r; (r = FtsNextRec(h)) > 0;) candidates.push_back(r);
  for (size_t i = 0; i < records.size(); ++i) {
    for (int32_t mode = 1; mode <= 3; ++mode) {
      const int32_t match = FtsMatch(records[i].c_str(), text.c_str(), mode);
      if (match != FtsVerify(h, records[i].c_str(), text.c_str(), mode)) abort();
      if (match != 1) continue;
      // A confirmed record is never missing from the candidates.
      if (set <= 0 ||
          !std::binary_search(candidates.begin(), candidates.end(), static_cast<int32_t>(i) + 1))
        abort();
    }
  }
  FtsClose(h);
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  return data[0] < 0x80 ? ReadIndex(data, size) : BuildIndex(data, size);
}
#else
int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::vector<std::vector<std::string> > tables = {
      {" 135-806 02  \xBC\xAD\xBF\xEF \xB0\xAD\xB3\xB2\xB1\xB8", " 612-020 051 \xBA\xCE\xBB\xEA",
       " 110-110 02  ABC \x81\x41"
       "bc"},
      {},
      {" a", " ab", " abc", " abcd"}};
  int n = 0;
  for (const auto& records : tables) {
    // A dense table too, so that the corpus holds bitmaps and long block lists.
    std::vector<std::string> rows = records;
    if (rows.empty())
      for (int i = 0; i < 700; ++i) rows.push_back(" " + std::to_string(i * 7919 % 1000) + " x");
    const std::string path = std::string(argv[1]) + "/.seed.fts";
    const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
    for (const auto& r : rows) FtsAdd(h, r.c_str());
    FtsClose(h);
    FILE* in = std::fopen(path.c_str(), "rb");
    std::string image;
    for (int c; in && (c = std::fgetc(in)) != EOF;) image.push_back(static_cast<char>(c));
    if (in) std::fclose(in);
    std::remove(path.c_str());
    // ab, 1, 서울 x, 7 x, ㄱㄴ, 서울강남, 135
    for (const char* query : {"ab", "1", "\xBC\xAD\xBF\xEF x", "7 x", "\xA4\xA1\xA4\xA4",
                              "\xBC\xAD\xBF\xEF\xB0\xAD\xB3\xB2", "135"}) {
      std::string seed(1, static_cast<char>(std::strlen(query)));
      seed += query;
      seed += image;
      FILE* out = std::fopen((std::string(argv[1]) + "/seed" + std::to_string(n++)).c_str(), "wb");
      if (!out) return 1;
      std::fwrite(seed.data(), 1, seed.size(), out);
      std::fclose(out);
    }
  }
  return 0;
}
#endif
