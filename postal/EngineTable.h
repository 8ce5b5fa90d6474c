#pragma once
// The postal table read through the engine's entry points directly, for the
// programs without a window: opened read-only under an alias of its own,
// its records read raw.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RuntimeLibraries.h"
#include "postal/RecordSource.h"

namespace postal {

class EngineTable final : public RecordSource {
 public:
  // alias: the work area's name; the engine is process-wide, so every user
  // of it keeps an alias and a work area of its own, selected before its calls.
  EngineTable(const platform::EngineEntryPoints& dbe, std::string alias);
  ~EngineTable() override;
  EngineTable(const EngineTable&) = delete;
  EngineTable& operator=(const EngineTable&) = delete;

  // Opens the table read-only with the finder's password and arguments.
  // False with the reason in *error.
  bool Open(const std::string& path, std::string* error);
  bool IsOpen() const { return area_ > 0; }
  void Close();

  // The record count the header states (more than RecordCount when the file
  // was cut inside its records).
  int32_t StatedRecordCount();
  // The date of the table's last update as the engine reads it from the
  // header, "YYYYMMDD"; empty when the header holds no valid date.
  std::string LastUpdate();
  // The place of a field, by name without regard to case; width 0 when the
  // table has none.
  FieldPlace Field(std::string_view name);

  int32_t RecordCount() override { return recordCount_; }
  int32_t RecordSize() override { return recordSize_; }
  std::vector<FieldPlace> Fields() override { return fields_; }
  void GoTop() override;
  bool AtEnd() override;
  void Skip() override;
  void Go(int32_t recno) override;
  void Read(char* buffer) override;

  // Whether a sequential scan follows (the engine reads ahead for it).
  void SetReadAhead(bool on);

 private:
  void Select();

  const platform::EngineEntryPoints& dbe_;
  std::string alias_;
  int16_t area_ = 0;
  int32_t recordCount_ = 0;
  int32_t recordSize_ = 0;
  std::vector<FieldPlace> fields_;
};

// "YYYY-MM-DD" of the engine's "YYYYMMDD"; empty for anything else.
std::string DateText(std::string_view yyyymmdd);

// The text of a field of a raw record, without the blanks that pad it.
std::string_view FieldText(const char* record, const FieldPlace& field);

}  // namespace postal
