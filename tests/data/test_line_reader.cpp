// Inputs read in pieces: the lines as they stand, the limits that refuse an
// endless input, and a file that is cut short or changes while it is read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "ByteSource.h"
#include "LineReader.h"
#include "ToolFolder.h"

namespace fs = std::filesystem;

namespace {

// Bytes handed out in pieces of a chosen size, as a pipe does.
class PieceSource : public postal::ByteSource {
 public:
  PieceSource(std::string bytes, size_t piece) : bytes_(std::move(bytes)), piece_(piece) {}
  ssize_t Read(char* buf, size_t size, std::string*) override {
    const size_t n = std::min({size, piece_, bytes_.size() - at_});
    bytes_.copy(buf, n, at_);
    at_ += n;
    return static_cast<ssize_t>(n);
  }
  uint64_t ExpectedSize() const override { return 0; }

 private:
  std::string bytes_;
  size_t piece_, at_ = 0;
};

std::vector<std::string> Lines(postal::LineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(&line)) lines.emplace_back(line);
  return lines;
}

class FileInput : public ToolFolder {
 protected:
  FileInput() : ToolFolder("line-reader-test") {}
};

}  // namespace

TEST(LineReader, LinesAsTheyStandWhateverThePieces) {
  const std::string text = "a|b\r\n\nccc\nlast without LF";
  for (size_t piece : {size_t{1}, size_t{3}, size_t{1} << 20}) {
    PieceSource source(text, piece);
    postal::LineReader reader(&source);
    EXPECT_EQ(Lines(reader), (std::vector<std::string>{"a|b\r", "", "ccc", "last without LF"}));
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(reader.line(), 4);
    EXPECT_EQ(reader.bytesRead(), text.size());
  }
}

TEST(LineReader, ALineOverTheLimitIsRefusedWithItsNumber) {
  const std::string longest(postal::kMaxLineBytes, 'x');
  PieceSource fits("1\n" + longest + "\n3\n", 4096);
  postal::LineReader reader(&fits);
  EXPECT_EQ(Lines(reader).size(), 3u);
  EXPECT_FALSE(reader.failed());

  // An input without any line end, as /dev/zero is, ends at the limit.
  PieceSource endless("1\n2\n" + longest + "y" + std::string(1 << 20, 'z'), 4096);
  postal::LineReader cut(&endless);
  EXPECT_EQ(Lines(cut), (std::vector<std::string>{"1", "2"}));
  ASSERT_TRUE(cut.failed());
  EXPECT_EQ(cut.error().line, 3);
  EXPECT_EQ(cut.error().reason, "a line of more than 64 KiB: not a postal text file");
  EXPECT_LT(cut.bytesRead(), uint64_t{1} << 21) << "read no further than needed";
}

TEST(LineReader, AnInputOverTheLimitIsRefused) {
  std::string rows;
  for (int i = 0; i < 1000; ++i) rows += "06236|서울특별시\n";
  PieceSource source(rows, 512);
  postal::LineReader reader(&source, 4096);
  Lines(reader);
  ASSERT_TRUE(reader.failed());
  EXPECT_EQ(reader.error().line, 0);
  EXPECT_EQ(reader.error().reason, "more than 4 KiB: not a postal text file");
  EXPECT_LE(reader.bytesRead(), 4096u + 512);
}

TEST_F(FileInput, AFileCutShortWhileItIsReadIsAFault) {
  const std::string path = Write("road.txt", std::string(10000, 'x'));
  postal::FileSource source;
  std::string why;
  ASSERT_TRUE(source.Open(path, &why)) << why;
  EXPECT_EQ(source.ExpectedSize(), 10000u);
  char buf[4000];
  ASSERT_EQ(source.Read(buf, sizeof buf, &why), 4000);
  ASSERT_EQ(::truncate(path.c_str(), 5000), 0);
  ASSERT_EQ(source.Read(buf, sizeof buf, &why), 1000);
  EXPECT_EQ(source.Read(buf, sizeof buf, &why), -1);
  EXPECT_EQ(why, "cut short while it was read (5000 of 10000 bytes)");
}

TEST_F(FileInput, AFileThatGrowsOrIsRewrittenWhileItIsReadIsAFault) {
  const std::string path = Write("road.txt", std::string(100, 'x'));
  postal::FileSource source;
  std::string why;
  ASSERT_TRUE(source.Open(path, &why)) << why;
  std::ofstream(path, std::ios::app) << "more";
  char buf[4096];
  ASSERT_EQ(source.Read(buf, sizeof buf, &why), 104);
  EXPECT_EQ(source.Read(buf, sizeof buf, &why), -1);
  EXPECT_EQ(why, "changed while it was read");

  // The same size, other bytes: the change of its time gives it away.
  ASSERT_TRUE(source.Open(path, &why)) << why;
  ASSERT_EQ(source.Read(buf, 10, &why), 10);
  struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  ASSERT_EQ(source.Read(buf, sizeof buf, &why), 94);
  EXPECT_EQ(source.Read(buf, sizeof buf, &why), -1);
  EXPECT_EQ(why, "changed while it was read");

  // Read whole and untouched, it ends as any file does.
  ASSERT_TRUE(source.Open(path, &why)) << why;
  ASSERT_EQ(source.Read(buf, sizeof buf, &why), 104);
  EXPECT_EQ(source.Read(buf, sizeof buf, &why), 0);
}

TEST_F(FileInput, AFolderOrAMissingFileCannotBeOpened) {
  postal::FileSource source;
  std::string why;
  EXPECT_FALSE(source.Open(dir_.string(), &why));
  EXPECT_EQ(why, "Is a directory");
  EXPECT_FALSE(source.Open((dir_ / "missing").string(), &why));
  EXPECT_EQ(why, "No such file or directory");
}

TEST_F(FileInput, ARegularFileIsReadAgainAndAPipeIsKeptToBe) {
  const std::string path = Write("road.txt", "a|b\nc|d\n");
  postal::FileSource source;
  std::string why;
  ASSERT_TRUE(source.Open(path, &why)) << why;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) {
      ASSERT_TRUE(source.Rewind(&why)) << why;
    }
    postal::LineReader lines(&source);
    EXPECT_EQ(Lines(lines), (std::vector<std::string>{"a|b", "c|d"}));
    EXPECT_FALSE(lines.failed());
  }
  // A change between the readings is seen at the end of the next one.
  std::ofstream(path, std::ios::app) << "e|f\n";
  ASSERT_TRUE(source.Rewind(&why));
  postal::LineReader changed(&source);
  Lines(changed);
  EXPECT_TRUE(changed.failed());
  EXPECT_EQ(changed.error().reason, "changed while it was read");

  // A pipe's bytes go to an unnamed file in the folder given, read twice.
  postal::FileSource pipe;
  std::FILE* p = ::popen("printf 'x|y\\n'", "r");
  ASSERT_NE(p, nullptr);
  ASSERT_TRUE(pipe.Open("/proc/self/fd/" + std::to_string(::fileno(p)), &why)) << why;
  EXPECT_FALSE(pipe.IsRegular());
  EXPECT_FALSE(pipe.Rewind(&why));
  ASSERT_TRUE(pipe.KeepPipe(dir_.string(), &why)) << why;
  ::pclose(p);
  EXPECT_TRUE(pipe.IsRegular());
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_TRUE(pipe.Rewind(&why)) << why;
    postal::LineReader lines(&pipe);
    EXPECT_EQ(Lines(lines), std::vector<std::string>{"x|y"});
  }
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"road.txt"}) << "the kept bytes have no name";
}

TEST_F(FileInput, AnEndlessPipeIsKeptNoFurtherThanTheLimits) {
  // /dev/zero has no line end: a mebibyte and a little more are kept, and
  // the reader refuses the first line.
  postal::FileSource zero;
  std::string why;
  ASSERT_TRUE(zero.Open("/dev/zero", &why)) << why;
  ASSERT_TRUE(zero.KeepPipe(dir_.string(), &why)) << why;
  EXPECT_LE(zero.ExpectedSize(), uint64_t{2} << 20);
  postal::LineReader lines(&zero);
  std::string_view line;
  EXPECT_FALSE(lines.Next(&line));
  EXPECT_EQ(lines.error().line, 1);
  EXPECT_EQ(lines.error().reason, "a line of more than 64 KiB: not a postal text file");
}
