// The I/O layer: every byte of every file through the installed fts_io, and
// every fault it reports (a failed read at any call, a short read, a file
// shrinking between two reads, a failed write, flush, rename or create)
// answered with the documented error, never a crash or a wrong answer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "FtsTestSupport.h"
#include "ZipcodeRecords.h"

using ftstest::BuildIndex;
using ftstest::Candidates;
using ftstest::EntriesIn;
using ftstest::FirstNationalRecords;
using ftstest::ReadFile;
using ftstest::TempDir;

namespace {

enum class Fault {
  kNone,
  kFailRead,
  kShortRead,
  kChangeRead,  // a byte of what was read one more: the file changed under the reader
  kShrink,
  kFailWrite,
  kFailSync,
  kFailRename,
  kFailCreate
};

// The default I/O with counted calls, one of which can be made to fail.
class FaultyIo {
 public:
  FaultyIo() {
    io_ = *FtsDefaultIo();
    io_.context = this;
    io_.open = [](const fts_io* io, const char* path, void** file) {
      return Self(io)->Wrap(Self(io)->inner_->open(Self(io)->inner_, path, file), file);
    };
    io_.create = [](const fts_io* io, const char* path, void** file) {
      FaultyIo* self = Self(io);
      self->created_.push_back(path);
      // From the at-th on: a folder that stops taking files (a name taken is
      // tried again under another).
      if (++self->creates_ >= self->at_ && self->fault_ == Fault::kFailCreate)
        return int32_t{FTS_ERR_IO};
      return self->Wrap(self->inner_->create(self->inner_, path, file), file);
    };
    io_.size = [](void* f, uint64_t* size) { return Inner(f)->size(Handle(f), size); };
    io_.read = [](void* f, void* buffer, uint64_t offset, uint64_t size, uint64_t* got) {
      FaultyIo* self = Owner(f);
      const bool now = ++self->reads_ == self->at_;
      if (now && self->fault_ == Fault::kFailRead) return int32_t{FTS_ERR_IO};
      if (now && self->fault_ == Fault::kShortRead && size > 1)
        size /= 2;  // and answers as if the file ended there
      if (now && self->fault_ == Fault::kShrink)
        std::filesystem::resize_file(self->shrink_, 100);  // inside the header
      const int32_t r = Inner(f)->read(Handle(f), buffer, offset, size, got);
      if (now && self->fault_ == Fault::kChangeRead && r == 0 && *got > 0) {
        // A byte without the high bit, so that a run of varints keeps its shape.
        auto* bytes = static_cast<uint8_t*>(buffer);
        for (uint64_t i = *got / 2; i < *got; ++i)
          if (bytes[i] < 0x7F) {
            ++bytes[i];
            break;
          }
      }
      return r;
    };
    io_.write = [](void* f, const void* data, uint64_t offset, uint64_t size) {
      FaultyIo* self = Owner(f);
      if (self->Hit(Fault::kFailWrite, self->writes_)) return int32_t{FTS_ERR_IO};
      return Inner(f)->write(Handle(f), data, offset, size);
    };
    io_.sync = [](void* f) {
      FaultyIo* self = Owner(f);
      if (self->Hit(Fault::kFailSync, self->syncs_)) return int32_t{FTS_ERR_IO};
      return Inner(f)->sync(Handle(f));
    };
    io_.close = [](void* f) {
      const int32_t r = Inner(f)->close(Handle(f));
      delete static_cast<File*>(f);
      return r;
    };
    io_.rename = [](const fts_io* io, const char* from, const char* to) {
      FaultyIo* self = Self(io);
      if (self->Hit(Fault::kFailRename, self->renames_)) return int32_t{FTS_ERR_IO};
      return self->inner_->rename(self->inner_, from, to);
    };
    io_.remove = [](const fts_io* io, const char* path) {
      return Self(io)->inner_->remove(Self(io)->inner_, path);
    };
  }
  ~FaultyIo() { FtsSetIo(nullptr); }
  const fts_io* Io() const { return &io_; }
  void Install() { ASSERT_EQ(0, FtsSetIo(&io_)); }
  // The at-th call of the fault's kind fails from now on; counts start anew.
  void Arm(Fault fault, int at, const std::string& shrink = "") {
    fault_ = fault;
    at_ = at;
    shrink_ = shrink;
    reads_ = writes_ = syncs_ = renames_ = creates_ = 0;
  }
  int Reads() const { return reads_; }
  int Writes() const { return writes_; }
  int Syncs() const { return syncs_; }
  int Renames() const { return renames_; }
  int Creates() const { return creates_; }
  const std::vector<std::string>& Created() const { return created_; }

 private:
  struct File {
    FaultyIo* owner;
    void* inner;
  };
  static FaultyIo* Self(const fts_io* io) { return static_cast<FaultyIo*>(io->context); }
  static FaultyIo* Owner(void* f) { return static_cast<File*>(f)->owner; }
  static const fts_io* Inner(void* f) { return Owner(f)->inner_; }
  static void* Handle(void* f) { return static_cast<File*>(f)->inner; }
  int32_t Wrap(int32_t r, void** file) {
    if (r == 0) *file = new File{this, *file};
    return r;
  }
  // Counts a call; true when it is the one to fail.
  bool Hit(Fault kind, int& count) { return ++count == at_ && fault_ == kind; }

  fts_io io_;
  const fts_io* inner_ = FtsDefaultIo();
  Fault fault_ = Fault::kNone;
  int at_ = 0;
  std::string shrink_;
  int reads_ = 0, writes_ = 0, syncs_ = 0, renames_ = 0, creates_ = 0;
  std::vector<std::string> created_;
};

TEST(FtsIo, AnIncompleteOrForeignTableIsRefusedAndNullRestoresTheDefault) {
  const fts_io* standard = FtsDefaultIo();
  ASSERT_NE(nullptr, standard);
  EXPECT_EQ(FTS_IO_VERSION, standard->version);
  fts_io io = *standard;
  io.read = nullptr;
  EXPECT_EQ(FTS_ERR_ARG, FtsSetIo(&io));
  io = *standard;
  io.version = FTS_IO_VERSION + 1;
  EXPECT_EQ(FTS_ERR_ARG, FtsSetIo(&io));
  EXPECT_EQ(0, FtsSetIo(standard));
  EXPECT_EQ(0, FtsSetIo(nullptr));
}

TEST(FtsIo, EveryFileGoesThroughTheInstalledIo) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  FaultyIo io;
  io.Install();
  io.Arm(Fault::kNone, 0);
  ASSERT_EQ(0, BuildIndex(path, FirstNationalRecords(2000)));
  EXPECT_GT(io.Writes(), 0);
  EXPECT_EQ(1, io.Syncs());
  EXPECT_EQ(1, io.Renames());
  // The folder tried at FtsCreate, the file written at FtsClose: each under
  // a name of twelve random letters and digits, never the same.
  ASSERT_EQ(2u, io.Created().size());
  const std::string prefix = dir.File(".POSTCODE.FTS.tmp-");
  for (const std::string& name : io.Created()) {
    EXPECT_EQ(prefix, name.substr(0, prefix.size())) << name;
    EXPECT_EQ(prefix.size() + 12, name.size()) << name;
    EXPECT_TRUE(std::all_of(name.begin() + static_cast<ptrdiff_t>(prefix.size()), name.end(),
                            [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
        << name;
  }
  EXPECT_NE(io.Created()[0], io.Created()[1]);
  io.Arm(Fault::kNone, 0);
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(2, io.Reads());  // the header and the root page
  EXPECT_GT(FtsSet(h, "\xBC\xAD\xBF\xEF"), 0);
  EXPECT_GT(io.Reads(), 2);
  // Installed later, another I/O does not change an open index's.
  FtsSetIo(nullptr);
  const int before = io.Reads();
  EXPECT_GT(FtsSet(h, "\xB0\xAD\xB3\xB2"), 0);
  EXPECT_GT(io.Reads(), before);
  FtsClose(h);
}

TEST(FtsIo, ReadFaultsAtOpen) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, FirstNationalRecords(2000)));
  const std::string image = ReadFile(path);
  FaultyIo io;
  io.Install();
  struct Case {
    Fault fault;
    int32_t error;
  };
  for (const Case c : {Case{Fault::kFailRead, FTS_ERR_IO}, Case{Fault::kShortRead, FTS_ERR_FORMAT},
                       Case{Fault::kShrink, FTS_ERR_FORMAT}}) {
    for (int at = 1; at <= 2; ++at) {
      SCOPED_TRACE("read " + std::to_string(at));
      ftstest::WriteFile(path, image);
      io.Arm(c.fault, at, path);
      EXPECT_EQ(c.error, FtsOpen(path.c_str(), 20, 1));
    }
  }
  ftstest::WriteFile(path, image);
  io.Arm(Fault::kFailRead, 3);  // no third read at open
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  EXPECT_GT(h, 0);
  FtsClose(h);
}

// Puts the original bytes back into the same file (the open index's).
void Restore(const std::string& path, const std::string& image) {
  const int fd = open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(static_cast<ssize_t>(image.size()), pwrite(fd, image.data(), image.size(), 0));
  close(fd);
}

TEST(FtsIo, ReadFaultsInASearchAnswerAnErrorAndTheNextSearchAnswersRight) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, FirstNationalRecords(20000)));
  const std::string image = ReadFile(path);
  FaultyIo io;
  io.Install();
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  // 서울 (one pair), 1 (a bitmap), 서울 강남구 개포 (several lists, some probed a
  // block at a time), ㄱㅍ1ㄷ (consonant keys).
  for (const char* text :
       {"\xBC\xAD\xBF\xEF", "1", "\xBC\xAD\xBF\xEF \xB0\xAD\xB3\xB2\xB1\xB8 \xB0\xB3\xC6\xF7",
        "\xA4\xA1\xA4\xBD\x31\xA4\xA7"}) {
    SCOPED_TRACE(text);
    io.Arm(Fault::kNone, 0);
    const int32_t count = FtsSet(h, text);
    ASSERT_GT(count, 0);
    const std::vector<int32_t> expected = Candidates(h);
    const int reads = io.Reads();
    ASSERT_GT(reads, 0);
    struct Case {
      Fault fault;
      int32_t error;
    };
    for (const Case c :
         {Case{Fault::kFailRead, FTS_ERR_IO}, Case{Fault::kShortRead, FTS_ERR_FORMAT},
          Case{Fault::kShrink, FTS_ERR_FORMAT}}) {
      for (int at = 1; at <= reads; ++at) {
        SCOPED_TRACE("fault " + std::to_string(static_cast<int>(c.fault)) + " at read " +
                     std::to_string(at) + " of " + std::to_string(reads));
        io.Arm(c.fault, at, path);
        EXPECT_EQ(c.error, FtsSet(h, text));
        EXPECT_EQ(0, FtsNextRec(h));
        EXPECT_EQ(0, FtsProven(h));
        if (c.fault == Fault::kShrink) Restore(path, image);
        io.Arm(Fault::kNone, 0);
        ASSERT_EQ(count, FtsSet(h, text));
        ASSERT_EQ(expected, Candidates(h));
      }
    }
  }
  FtsClose(h);
}

TEST(FtsIo, WriteFaultsLeaveTheOldIndexAndNothingElse) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, {" old"}));
  const std::string old = ReadFile(path);
  const auto records = FirstNationalRecords(60000);
  FaultyIo io;
  io.Install();
  // How many writes a build makes: in memory, and with runs written out.
  for (const int32_t memory : {192, 1}) {
    SCOPED_TRACE("memory " + std::to_string(memory));
    const int32_t before = FtsSetBuildMemory(memory);
    io.Arm(Fault::kNone, 0);
    ASSERT_EQ(0, BuildIndex(dir.File("count.fts"), records));
    const int writes = io.Writes();
    std::filesystem::remove(dir.File("count.fts"));
    ASSERT_GT(writes, 1);
    struct Case {
      Fault fault;
      int at;
    };
    std::vector<Case> cases = {{Fault::kFailSync, 1},
                               {Fault::kFailRename, 1},
                               {Fault::kFailCreate, 2},
                               {Fault::kFailWrite, writes}};
    for (int at = 1; at < writes; at += std::max(1, writes / 7))
      cases.push_back({Fault::kFailWrite, at});
    for (const Case& c : cases) {
      SCOPED_TRACE("fault " + std::to_string(static_cast<int>(c.fault)) + " at " +
                   std::to_string(c.at));
      io.Arm(c.fault, c.at);
      EXPECT_EQ(FTS_ERR_IO, BuildIndex(path, records));
      EXPECT_TRUE(old == ReadFile(path)) << "the old index changed";
      EXPECT_EQ(1u, EntriesIn(dir.Path()));
    }
    // A folder that takes no file is refused at FtsCreate.
    io.Arm(Fault::kFailCreate, 1);
    EXPECT_EQ(FTS_ERR_IO, FtsCreate(path.c_str(), 20, 2, 1, 1));
    FtsSetBuildMemory(before);
  }
}

TEST(FtsIo, ReadFaultsInTheMergeOfRunsFailTheClose) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  const auto records = FirstNationalRecords(60000);
  FaultyIo io;
  io.Install();
  const int32_t before = FtsSetBuildMemory(1);
  io.Arm(Fault::kNone, 0);
  ASSERT_EQ(0, BuildIndex(path, records));
  const std::string built = ReadFile(path);
  const int reads = io.Reads();  // of the runs, at the merge
  ASSERT_GT(reads, 1);
  for (const Fault fault : {Fault::kFailRead, Fault::kShortRead, Fault::kChangeRead}) {
    for (int at : {1, reads / 2, reads}) {
      SCOPED_TRACE("read " + std::to_string(at));
      io.Arm(fault, at);
      EXPECT_EQ(FTS_ERR_IO, BuildIndex(path, records));
      EXPECT_TRUE(built == ReadFile(path)) << "the index changed";
      EXPECT_EQ(1u, EntriesIn(dir.Path()));
    }
  }
  FtsSetBuildMemory(before);
}

}  // namespace
