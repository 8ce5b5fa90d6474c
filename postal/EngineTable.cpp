#include "postal/EngineTable.h"

#include <strings.h>

#include <algorithm>

#include "postal/PostalFiles.h"
#include "postal/SearchText.h"

namespace postal {

EngineTable::EngineTable(const platform::EngineEntryPoints& dbe, std::string alias)
    : dbe_(dbe), alias_(std::move(alias)) {}

EngineTable::~EngineTable() {
  Close();
}

void EngineTable::Select() {
  dbe_.dbe_Select(area_);
}

bool EngineTable::Open(const std::string& path, std::string* error) {
  Close();
  dbe_.dbe_ErrorLevel(0);  // reported by the caller, not on the engine's own line
  area_ = dbe_.dbe_UseEx(path.c_str(), alias_.c_str(), kOpenReadOnly, kDriverMtx, kCommitNone);
  if (area_ <= 0) {
    area_ = 0;
    const char* why = dbe_.dbe_ErrorText ? dbe_.dbe_ErrorText() : "";
    *error = "unable to open the table " + path + (why && *why ? std::string(": ") + why : "");
    return false;
  }
  dbe_.dbe_SetPassword(kTablePassword);
  SetReadAhead(false);
  recordCount_ = dbe_.dbe_RecCount();
  recordSize_ = dbe_.dbe_RecSize();
  // The fields follow the deletion flag in their order, each at its width.
  int32_t offset = 1;
  const int16_t count = dbe_.dbe_FieldCount();
  for (int16_t i = 1; i <= count; ++i) {
    const std::string name = dbe_.dbe_FieldName(i);
    const int32_t width = dbe_.dbe_FieldWidth(name.c_str());
    const char* type = dbe_.dbe_FieldType(name.c_str());
    if (width > 0 && offset + width <= recordSize_)
      fields_.push_back(FieldPlace{name, offset, width, type && *type ? *type : 'C'});
    offset += width;
  }
  return true;
}

void EngineTable::Close() {
  if (area_ <= 0) return;
  Select();
  dbe_.dbe_Close();
  area_ = 0;
  recordCount_ = recordSize_ = 0;
  fields_.clear();
}

int32_t EngineTable::StatedRecordCount() {
  if (area_ <= 0) return 0;
  Select();
  return std::max(recordCount_, dbe_.dbe_SysProp(3003, nullptr));
}

std::string EngineTable::LastUpdate() {
  if (area_ <= 0) return {};
  Select();
  const char* date = dbe_.dbe_LastUpdate();
  return date ? date : "";
}

std::string DateText(std::string_view d) {
  if (d.size() != 8 ||
      !std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return {};
  return std::string(d.substr(0, 4)) + '-' + std::string(d.substr(4, 2)) + '-' +
         std::string(d.substr(6, 2));
}

FieldPlace EngineTable::Field(std::string_view name) {
  for (const FieldPlace& f : fields_)
    if (f.name.size() == name.size() && strncasecmp(f.name.c_str(), name.data(), name.size()) == 0)
      return f;
  return FieldPlace{std::string(name), 0, 0};
}

void EngineTable::GoTop() {
  Select();
  dbe_.dbe_GoTop();
}

bool EngineTable::AtEnd() {
  Select();
  return dbe_.dbe_Eof() != 0;
}

void EngineTable::Skip() {
  Select();
  dbe_.dbe_Skip(1);
}

void EngineTable::Go(int32_t recno) {
  Select();
  dbe_.dbe_Go(recno);
}

void EngineTable::Read(char* buffer) {
  Select();
  dbe_.dbe_GetRecord(buffer);
}

void EngineTable::SetReadAhead(bool on) {
  if (area_ <= 0) return;
  Select();
  dbe_.dbe_SetReadCache(on ? -1 : 0);
}

std::string_view FieldText(const char* record, const FieldPlace& field) {
  if (!record || field.width <= 0) return {};
  std::string_view text(record + field.offset, static_cast<size_t>(field.width));
  // A zero byte ends the text too, as the library reads it.
  text = text.substr(0, text.find('\0'));
  return TrimTrailingBlanks(text);
}

}  // namespace postal
