#include "PostalImport.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "BuildingFile.h"
#include "ByteSource.h"
#include "DataDate.h"
#include "FieldReader.h"
#include "LineReader.h"
#include "PostalTable.h"
#include "RangeImport.h"
#include "ZipArchive.h"

namespace postal {
namespace {

constexpr size_t kProgressRows = 16384;
constexpr uint64_t kHandOn = uint64_t{32} << 20;

// One input as planned before any row is read: every file opened (so that a
// missing one is reported at once; a pipe's bytes kept, to be read twice),
// every zip's members listed.
struct Input {
  std::string path;
  std::unique_ptr<FileSource> file;
  std::unique_ptr<ZipArchive> zip;
};

// One file of rows: a text file, or a text member of a zip. Sources are read
// on their own, two or more at a time; what the first pass finds in one is
// kept with it, and its records have their own place in the table.
struct Source {
  std::string name;  // the path, or "ZIP:MEMBER"
  Input* input = nullptr;
  const ZipArchive::Member* member = nullptr;
  uint64_t bytes = 0;
  // The first pass's findings.
  PostalTable measured;
  const char* layout = "";
  uint32_t latest = 0;  // the latest 효력발생일, 0 for none
  std::string error;    // the fault that ended its reading
  // Where its records go in the table.
  uint64_t offset = 0;
};

// What the threads that read sources share with the caller's thread.
struct Shared {
  std::atomic<size_t> rows{0};
  std::atomic<uint64_t> bytes{0};
  std::atomic<size_t> current{0};  // the source begun last
  std::atomic<bool> stop{false};
  std::atomic<size_t> firstFault{SIZE_MAX};  // sources after it need not be read
};

// Reads one source's rows in order, handing each to fn.
class SourceReader {
 public:
  SourceReader(Source& source, Shared& shared, bool first, const TableRowFn& fn)
      : source_(source), shared_(shared), first_(first), fn_(fn) {}

  bool Run(ByteSource* bytes) {
    LineReader lines(bytes);
    std::string_view line;
    bool ok;
    if (!lines.Next(&line)) {
      if (lines.failed()) return Fail(FormatFault(source_.name, lines.error()));
      ok = Ranges(lines, {});  // says what an empty file lacks
    } else {
      std::string_view probe = line;
      if (probe.substr(0, 3) == "\xEF\xBB\xBF") probe.remove_prefix(3);
      if (!probe.empty() && probe.back() == '\r') probe.remove_suffix(1);
      if (LooksLikeZip(probe))
        return Fail(source_.name +
                    ": a zip archive, which is read from a file only (not from a pipe)");
      FieldViews f;
      const auto layout = BuildingLayoutOfFieldCount(SplitFields(probe, &f));
      ok = layout ? Buildings(*layout, lines, line) : Ranges(lines, line);
    }
    Counted(lines.offset());
    return ok;
  }

 private:
  bool Fail(std::string what) {
    if (source_.error.empty()) source_.error = std::move(what);
    return false;
  }
  bool Stopped() const { return shared_.stop.load(std::memory_order_relaxed); }
  // Rows and bytes for the caller's progress, a batch at a time.
  void Counted(uint64_t offset) {
    shared_.rows.fetch_add(rows_ - reported_, std::memory_order_relaxed);
    reported_ = rows_;
    shared_.bytes.fetch_add(offset - bytesReported_, std::memory_order_relaxed);
    bytesReported_ = offset;
  }

  bool Buildings(BuildingLayout layout, LineReader& lines, std::string_view line) {
    if (first_) {
      source_.measured.CarryJibun();
      if (CarriesEnglish(layout)) source_.measured.CarryEng();
      source_.layout = BuildingLayoutName(layout);
    }
    ConvertError fault;
    BuildingReader reader(layout, &fault);
    // A file that changes between the passes fails at its end
    // (FileSource::Read), so the second pass reads what the first checked.
    // A zip is opened again by name for each pass: its members are checked.
    reader.TrustCharacters(!first_ && !source_.member);
    BuildingRow row;
    do {
      const BuildingReader::Line read = reader.Read(line, lines.line(), &row);
      if (read == BuildingReader::Line::kFault) return Fail(FormatFault(source_.name, fault));
      if (read == BuildingReader::Line::kSkipped) continue;
      fn_({row.zipcode, row.ddd, row.etc, row.jibun, row.eng}, row.island);
      if (!source_.error.empty()) return false;  // the writer failed
      source_.latest = std::max(source_.latest, row.effectiveDate);
      if (++rows_ % kProgressRows == 0) {
        Counted(lines.offset());
        if (Stopped()) return false;
      }
    } while (lines.Next(&line));
    if (lines.failed()) return Fail(FormatFault(source_.name, lines.error()));
    return true;
  }

  // A range file is read whole (range files are a few tens of megabytes):
  // its encoding is the one that holds the whole file.
  bool Ranges(LineReader& lines, std::string_view first) {
    if (first_) source_.measured.CarryEng();
    std::string bytes;
    if (!first.empty() || lines.line() > 0) {
      bytes.append(first);
      bytes.push_back('\n');
      std::string_view line;
      while (lines.Next(&line)) {
        bytes.append(line);
        bytes.push_back('\n');
      }
      if (lines.failed()) return Fail(FormatFault(source_.name, lines.error()));
    }
    RangeFileInfo info;
    std::string why;
    const bool ok = ReadRangeRows(
        source_.name, bytes,
        [&](const TableRow& row, bool island) {
          if (source_.error.empty() && !Stopped()) fn_(row, island);
        },
        &why,
        [&](size_t rows) {
          rows_ = rows;
          Counted(0);
        },
        &info);
    if (!source_.error.empty() || Stopped()) return false;
    if (!ok) return Fail(why);
    rows_ = info.rows;
    if (first_)
      source_.layout = info.kind == RangeKind::kRoad ? "road-name ranges" : "lot-number ranges";
    return true;
  }

  Source& source_;
  Shared& shared_;
  bool first_;
  const TableRowFn& fn_;
  size_t rows_ = 0, reported_ = 0;
  uint64_t bytesReported_ = 0;
};

// Opens the bytes of a source for one pass; a zip's member through the
// reading thread's own handle of the archive, inflated beside the reading.
class SourceBytes {
 public:
  bool Open(Source& s, std::map<std::string, std::unique_ptr<ZipArchive>>* zips) {
    std::string why;
    if (!s.member) {
      if (s.input->file->Rewind(&why)) {
        bytes_ = s.input->file.get();
        return true;
      }
      s.error = s.name + ": cannot be read: " + why;
      return false;
    }
    std::unique_ptr<ZipArchive>& zip = (*zips)[s.input->path];
    if (!zip) {
      zip = std::make_unique<ZipArchive>();
      if (!zip->Open(s.input->path, &why)) {
        s.error = s.input->path + ": not a zip archive that can be read: " + why;
        return false;
      }
    }
    member_ = zip->OpenMember(*s.member, &why);
    if (!member_) {
      s.error = s.name + ": cannot be read: " + why;
      return false;
    }
    inflated_ = std::make_unique<ReadAheadSource>(member_.get());
    bytes_ = inflated_.get();
    return true;
  }
  ByteSource* bytes() const { return bytes_; }

 private:
  std::unique_ptr<ByteSource> member_;
  std::unique_ptr<ReadAheadSource> inflated_;  // destroyed before member_
  ByteSource* bytes_ = nullptr;
};

// Runs job on every source, the largest first, on as many threads as the
// machine has cores (two at least where there are two sources), while the
// caller's thread reports the progress. False when the progress callback
// stopped it.
template <typename Job>
bool RunOnSources(std::vector<Source>& sources, Shared& shared, const Job& job,
                  const std::function<bool()>& report) {
  std::vector<size_t> order(sources.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return sources[a].bytes > sources[b].bytes; });
  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::condition_variable finished;
  size_t done = 0;
  const size_t threads = std::min<size_t>(
      sources.size(), std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 4));
  std::vector<std::thread> pool;
  for (size_t t = 0; t < threads; ++t)
    pool.emplace_back([&] {
      std::map<std::string, std::unique_ptr<ZipArchive>> zips;
      for (size_t k; (k = next.fetch_add(1)) < order.size();) {
        const size_t i = order[k];
        if (!shared.stop && i < shared.firstFault) {
          shared.current = i;
          if (!job(sources[i], &zips)) {
            // Sources after this one need not be read: the fault of the
            // first source in order with one is the one reported.
            size_t seen = shared.firstFault;
            while (i < seen && !shared.firstFault.compare_exchange_weak(seen, i)) {
            }
          }
        }
        std::lock_guard<std::mutex> lock(mutex);
        ++done;
        finished.notify_all();
      }
    });
  bool going = true;
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (done < order.size()) {
      finished.wait_for(lock, std::chrono::milliseconds(50));
      lock.unlock();
      if (going && !report()) {
        going = false;
        shared.stop = true;
      }
      lock.lock();
    }
  }
  for (std::thread& t : pool) t.join();
  return going && report();  // the end of the stage
}

}  // namespace

bool ImportFiles(const std::vector<std::string>& inputs, const std::string& table,
                 const ImportOptions& options, ImportSummary* summary, std::string* error) {
  ImportSummary local;
  ImportSummary& s = summary ? *summary : local;
  s = ImportSummary{};
  std::string ignored;
  std::string& why = error ? *error : ignored;
  why.clear();
  if (inputs.empty()) {
    why = "no files to import";
    return false;
  }
  // The temporary table first: a folder that cannot take it is known before
  // any row is read.
  platform::AtomicFile out;
  if (!out.Begin(table, options.backups, &why)) return false;

  // Every input opened, every zip's members listed.
  std::vector<std::unique_ptr<Input>> planned;
  std::vector<Source> sources;
  LatestDate dates;
  for (const std::string& path : inputs) {
    auto in = std::make_unique<Input>();
    in->path = path;
    in->file = std::make_unique<FileSource>();
    if (!in->file->Open(path, &why)) {
      why = path + ": cannot be read: " + why;
      return false;
    }
    if (LooksLikeZip(in->file->Head(4))) {
      in->zip = std::make_unique<ZipArchive>();
      if (!in->zip->Open(path, &why)) {
        why = path + ": not a zip archive that can be read: " + why;
        return false;
      }
      size_t members = 0;
      for (const ZipArchive::Member& m : in->zip->members()) {
        if (!IsTextMember(m)) {
          if (!m.folder) s.leftOut.push_back(path + ":" + m.name);
          continue;
        }
        Source source;
        source.name = path + ":" + m.name;
        source.input = in.get();
        source.member = &m;
        source.bytes = m.size;
        sources.push_back(std::move(source));
        dates.See(DateOfFileName(m.rawName));
        if (m.modified != 0) dates.See(LocalDate(m.modified));
        ++members;
      }
      if (members == 0) {
        why = path + ": holds no text file of postal data";
        return false;
      }
    } else {
      if (!in->file->KeepPipe(out.folder(), &why)) {
        why = path + ": cannot be read: " + why;
        return false;
      }
      Source source;
      source.name = path;
      source.input = in.get();
      source.bytes = in->file->ExpectedSize();
      sources.push_back(std::move(source));
      dates.See(DateOfFileName(path));
    }
    planned.push_back(std::move(in));
  }
  uint64_t bytesTotal = 0;
  for (const Source& source : sources) bytesTotal += source.bytes;

  // The first pass: every row checked and measured.
  Shared shared;
  auto progress = [&](ImportStage stage, size_t total) {
    return [&, stage, total] {
      if (!options.progress) return true;
      ImportProgress p;
      p.stage = stage;
      p.rowsDone = shared.rows;
      p.rowsTotal = total;
      p.file = sources[shared.current].name;
      if (stage == ImportStage::kReading) {
        p.bytesDone = shared.bytes;
        p.bytesTotal = std::max(bytesTotal, p.bytesDone);
        p.rowsTotal = p.bytesDone == 0 ? p.rowsDone
                                       : static_cast<size_t>(static_cast<double>(p.rowsDone) *
                                                             static_cast<double>(p.bytesTotal) /
                                                             static_cast<double>(p.bytesDone));
      }
      return options.progress(p);
    };
  };
  const auto measure = [&](Source& source,
                           std::map<std::string, std::unique_ptr<ZipArchive>>* zips) {
    SourceBytes bytes;
    if (!bytes.Open(source, zips)) return false;
    const TableRowFn fn = [&](const TableRow& row, bool island) {
      source.measured.Measure(row);
      if (island) source.measured.MarkIslandZone(row.zipcode);
    };
    return SourceReader(source, shared, true, fn).Run(bytes.bytes());
  };
  if (!RunOnSources(sources, shared, measure, progress(ImportStage::kReading, 0))) {
    why = "the import was stopped";
    return false;
  }
  PostalTable records;
  for (Source& source : sources) {
    if (!source.error.empty()) {
      why = source.error;
      return false;
    }
    records.Merge(source.measured);
    s.files.push_back({source.name, source.layout, source.measured.count()});
    if (source.latest != 0) dates.See(DateOfYmd(source.latest));
  }
  if (records.count() == 0) {
    why = "the files hold no rows";
    return false;
  }
  s.records = records.count();
  s.fields = records.Fields();
  s.dateFromData = dates.date().has_value();
  s.date = s.dateFromData ? *dates.date() : options.today.value_or(LocalDate(std::time(nullptr)));

  // The second pass: each source's records written at their own place.
  const std::string header = records.Header(s.date);
  const uint64_t size = records.ImageSize();
  if (!out.Reserve(size, &why) || !out.WriteAt(0, header, &why) ||
      !out.WriteAt(size - 1, std::string_view(&kDbfEndOfFile, 1), &why))
    return false;
  uint64_t offset = header.size();
  for (Source& source : sources) {
    source.offset = offset;
    offset += uint64_t{source.measured.count()} * records.RecordSize();
  }
  shared.rows = 0;
  const auto write = [&](Source& source, std::map<std::string, std::unique_ptr<ZipArchive>>* zips) {
    SourceBytes bytes;
    if (!bytes.Open(source, zips)) return false;
    uint64_t at = source.offset, handed = at;
    std::string sinkError;
    const platform::ByteSink sink = [&](std::string_view part) {
      if (!out.WriteAt(at, part, &sinkError)) return false;
      at += part.size();
      if (at - handed >= kHandOn) {
        out.HandToDisk(handed, at - handed);
        handed = at;
      }
      return true;
    };
    PostalTable::Writer writer(records, sink, source.measured.count());
    std::string rowError;
    const TableRowFn fn = [&](const TableRow& row, bool) {
      if (!writer.Add(row, &rowError)) source.error = rowError.empty() ? sinkError : rowError;
    };
    if (!SourceReader(source, shared, false, fn).Run(bytes.bytes())) return false;
    if (!writer.Finish(&rowError)) {
      source.error = source.name + ": " + (rowError.empty() ? sinkError : rowError);
      return false;
    }
    return true;
  };
  shared.firstFault = SIZE_MAX;
  if (!RunOnSources(sources, shared, write, progress(ImportStage::kWriting, records.count()))) {
    why = "the import was stopped";
    return false;
  }
  for (const Source& source : sources)
    if (!source.error.empty()) {
      why = source.error;
      return false;
    }
  if (!out.Commit(&why, &s.warning)) return false;
  s.table = out.target();
  return true;
}

}  // namespace postal
