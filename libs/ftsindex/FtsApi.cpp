// The exported C entry points: argument checks, handle lookup, and no
// exception ever crossing the interface.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <string_view>

#include "libs/ftsindex/AtomicFile.h"
#include "libs/ftsindex/FileIo.h"
#include "libs/ftsindex/Handles.h"
#include "libs/ftsindex/Matcher.h"
#include "libs/ftsindex/ftsindex.h"

namespace {

using fts::Index;

std::atomic<int32_t> g_buildMegabytes{static_cast<int32_t>(fts::IndexBuilder::kMemoryBytes >> 20)};

template <typename F>
int32_t Guarded(F&& f) {
  try {
    return f();
  } catch (const std::bad_alloc&) {
    return FTS_ERR_FULL;
  } catch (...) {
    return FTS_ERR_FULL;
  }
}

// The record up to its zero byte within limit bytes (no byte beyond them is
// read); false when there is none.
bool RecordView(const char* record, size_t limit, bool zeroRequired, std::string_view& out) {
  if (zeroRequired) {  // a buffer of unknown size is never read past its zero byte
    const size_t length = strnlen(record, limit);
    if (length == limit) return false;
    out = std::string_view(record, length);
    return true;
  }
  // A sized buffer ends at its first zero byte or at its size.
  const void* zero = std::memchr(record, 0, limit);
  out = std::string_view(record, zero ? static_cast<const char*>(zero) - record : limit);
  return true;
}

int32_t AddImpl(int32_t h, const char* record, size_t limit, bool zeroRequired, bool sizeOk) {
  Index* index = fts::Lookup(h);
  if (!index) return FTS_ERR_HANDLE;
  if (!index->Building()) return FTS_ERR_STATE;
  return Guarded([&]() -> int32_t {
    std::string_view view;
    int32_t refusal = 0;
    if (!record || !sizeOk)
      refusal = FTS_ERR_ARG;
    else if (!RecordView(record, limit, zeroRequired, view))
      refusal = FTS_ERR_RECORD;
    if (refusal == 0) return index->Add(view);
    const int32_t r = index->AddRefused();  // the record keeps its number
    return r < 0 ? r : refusal;
  });
}

int32_t VerifyImpl(int32_t h, const char* record, size_t limit, bool zeroRequired, bool sizeOk,
                   const char* text, int32_t mode) {
  Index* index = fts::Lookup(h);
  if (!index) return FTS_ERR_HANDLE;
  if (!record || !text || !sizeOk) return FTS_ERR_ARG;
  return Guarded([&]() -> int32_t {
    const size_t textLength = strnlen(text, FTS_MAX_TEXT + 1);
    if (textLength > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
    std::string_view view;
    if (!RecordView(record, limit, zeroRequired, view)) return FTS_ERR_RECORD;
    return index->Verify(view, std::string_view(text, textLength), mode);
  });
}

}  // namespace

extern "C" {

FTS_API int32_t FtsCreate(const char* fileName, int16_t, int16_t, int8_t, int16_t) {
  if (!fileName || !*fileName || strnlen(fileName, 4096) >= 4096) return FTS_ERR_ARG;
  if (fileName[std::strlen(fileName) - 1] == '/') return FTS_ERR_ARG;  // a folder, not a file
  return Guarded([&]() -> int32_t {
    const fts_io* io = fts::CurrentIo();
    std::string target;
    if (fts::ResolveTarget(fileName, target) != 0 || !fts::FolderTakesFiles(io, target))
      return FTS_ERR_IO;
    fts::RemoveStaleTemporaries(target);  // of an earlier build that was killed
    std::unique_ptr<Index> index =
        Index::ForBuild(io, fileName, size_t(g_buildMegabytes.load()) << 20);
    if (!index) return FTS_ERR_FULL;
    return fts::Register(std::move(index));
  });
}

FTS_API int32_t FtsOpen(const char* fileName, int16_t, int16_t) {
  if (!fileName || !*fileName || strnlen(fileName, 4096) >= 4096) return FTS_ERR_ARG;
  return Guarded([&]() -> int32_t {
    auto file = std::make_unique<fts::IndexFile>();
    const int32_t r = file->Open(fts::CurrentIo(), fileName);
    if (r < 0) return r;
    return fts::Register(Index::ForSearch(std::move(file)));
  });
}

FTS_API int32_t FtsAdd(int32_t h, const char* record) {
  return AddImpl(h, record, FTS_MAX_RECORD, true, true);
}

FTS_API int32_t FtsAddSized(int32_t h, const char* record, int32_t size) {
  return AddImpl(h, record, size < 0 ? 0 : static_cast<size_t>(size), false, size >= 0);
}

FTS_API int32_t FtsSet(int32_t h, const char* text) {
  Index* index = fts::Lookup(h);
  if (!index) return FTS_ERR_HANDLE;
  if (!text) {
    index->Set(std::string_view(nullptr, 0));  // empties the candidates
    return FTS_ERR_ARG;
  }
  return Guarded([&]() -> int32_t {
    const size_t length = strnlen(text, FTS_MAX_TEXT + 1);
    return index->Set(std::string_view(text, length));
  });
}

FTS_API int32_t FtsNextRec(int32_t h) {
  Index* index = fts::Lookup(h);
  return index ? index->NextRec() : FTS_ERR_HANDLE;
}

FTS_API int32_t FtsNextRecs(int32_t h, int32_t* recnos, int32_t max) {
  Index* index = fts::Lookup(h);
  return index ? index->NextRecs(recnos, max) : FTS_ERR_HANDLE;
}

FTS_API int32_t FtsVerify(int32_t h, const char* record, const char* text, int32_t mode) {
  return VerifyImpl(h, record, FTS_MAX_RECORD, true, true, text, mode);
}

FTS_API int32_t FtsVerifySized(int32_t h, const char* record, int32_t size, const char* text,
                               int32_t mode) {
  return VerifyImpl(h, record, size < 0 ? 0 : static_cast<size_t>(size), false, size >= 0, text,
                    mode);
}

FTS_API int32_t FtsProven(int32_t h) {
  Index* index = fts::Lookup(h);
  return index ? index->Proven() : FTS_ERR_HANDLE;
}

FTS_API int32_t FtsMatchSpans(int32_t h, const char* record, int32_t size, const char* text,
                              int32_t mode, int32_t* spans, int32_t maxSpans) {
  Index* index = fts::Lookup(h);
  if (!index) return FTS_ERR_HANDLE;
  if (!record || !text || size < 0 || maxSpans < 0 || (maxSpans > 0 && !spans)) return FTS_ERR_ARG;
  return Guarded([&]() -> int32_t {
    const size_t textLength = strnlen(text, FTS_MAX_TEXT + 1);
    if (textLength > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
    std::string_view view;
    RecordView(record, static_cast<size_t>(size), false, view);
    return index->MatchSpans(view, std::string_view(text, textLength), mode, spans, maxSpans);
  });
}

FTS_API int32_t FtsMatch(const char* record, const char* text, int32_t mode) {
  if (!record || !text) return FTS_ERR_ARG;
  return Guarded([&]() -> int32_t {
    const size_t textLength = strnlen(text, FTS_MAX_TEXT + 1);
    if (textLength > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
    std::string_view view;
    if (!RecordView(record, FTS_MAX_RECORD, true, view)) return FTS_ERR_RECORD;
    // A few prepared texts per thread: a scan asks the same texts of every
    // record, often more than one of each record in turn.
    constexpr size_t kPrepared = 8;
    thread_local fts::Matcher matchers[kPrepared];
    thread_local size_t next = 0;
    const std::string_view pattern(text, textLength);
    for (fts::Matcher& m : matchers)
      if (m.IsPreparedFor(pattern, mode)) return fts::Verify(m, view, pattern, mode);
    fts::Matcher& m = matchers[next];
    next = (next + 1) % kPrepared;
    return fts::Verify(m, view, pattern, mode);
  });
}

FTS_API int32_t FtsNumRecs(int32_t h) {
  Index* index = fts::Lookup(h);
  return index ? index->NumRecs() : FTS_ERR_HANDLE;
}

FTS_API int32_t FtsNumKeys(int32_t h) {
  Index* index = fts::Lookup(h);
  return index ? index->NumKeys() : FTS_ERR_HANDLE;
}

FTS_API int32_t FtsSetTag(int32_t h, const char* tag) {
  Index* index = fts::Lookup(h);
  if (!index) return FTS_ERR_HANDLE;
  if (!tag) return FTS_ERR_ARG;
  return Guarded([&]() -> int32_t {
    return index->SetTag(std::string_view(tag, strnlen(tag, FTS_MAX_TAG + 1)));
  });
}

FTS_API int32_t FtsGetTag(int32_t h, char* buf, int32_t size) {
  Index* index = fts::Lookup(h);
  if (!index) return FTS_ERR_HANDLE;
  if (size < 0 || (size > 0 && !buf)) return FTS_ERR_ARG;
  const std::string& tag = index->Tag();
  if (size > 0) {
    const size_t n = std::min(tag.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buf, tag.data(), n);
    buf[n] = '\0';
  }
  return static_cast<int32_t>(tag.size());
}

FTS_API int32_t FtsClose(int32_t h) {
  std::unique_ptr<Index> index = fts::Release(h);
  if (!index) return FTS_ERR_HANDLE;
  return Guarded([&]() -> int32_t { return index->Finish(); });
}

FTS_API int32_t FtsCheck(int32_t h) {
  Index* index = fts::Lookup(h);
  if (!index) return FTS_ERR_HANDLE;
  return Guarded([&]() -> int32_t { return index->Check(); });
}

FTS_API int32_t FtsSetBuildMemory(int32_t megabytes) {
  if (megabytes < 1 || megabytes > 4095) return FTS_ERR_ARG;
  return g_buildMegabytes.exchange(megabytes);
}

FTS_API int32_t FtsLibraryVersion(void) {
  return FTSINDEX_VERSION;
}

FTS_API int32_t FtsSetIo(const fts_io* io) {
  return fts::InstallIo(io);
}

FTS_API const fts_io* FtsDefaultIo(void) {
  return fts::DefaultIo();
}

}  // extern "C"
