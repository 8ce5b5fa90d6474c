#pragma once
// The fields of one line of a pipe-separated postal text file, read and
// checked one at a time. A fault names the line by its number and the field
// by its column name, and shows the field's text as a message may show it.
// Texts come out as CP949 bytes, whichever of the two encodings the file is
// in.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ConvertError.h"
#include "TextEncoding.h"

namespace postal {

inline constexpr size_t kMaxFields = 27;  // one more than the widest layout: "too many" is seen
using FieldViews = std::array<std::string_view, kMaxFields>;

// Splits line at '|'; returns the number of fields (views past kMaxFields are
// not kept).
size_t SplitFields(std::string_view line, FieldViews* f);

// What a line holds that no field may hold.
struct LineCheck {
  size_t badByte = kValidText;  // the first byte of no character of the encoding
  bool control = false;         // a control character (NUL, TAB, ESC, ...)
};
// SplitFields and a check of every byte in one pass over the line: large
// files go through it once per row. With charactersChecked (bytes that an
// earlier pass found to be text of the encoding, unchanged since) only the
// control characters are looked for: no trail byte of CP949 is '|' or a
// control character, so the line is scanned as bytes.
size_t SplitCheckedFields(std::string_view line, TextEncoding encoding, FieldViews* f,
                          LineCheck* check, bool charactersChecked = false);
// Without blanks at either end.
std::string_view Trimmed(std::string_view s);
// Five ASCII digits.
bool IsZone(std::string_view s);

// The column names of a layout, in UTF-8, one per field.
using ColumnNames = std::vector<std::string>;

class FieldReader {
 public:
  FieldReader(TextEncoding encoding, ConvertError* error) : encoding_(encoding), error_(error) {}

  void SetEncoding(TextEncoding encoding) { encoding_ = encoding; }
  TextEncoding encoding() const { return encoding_; }
  void SetLine(int line) { line_ = line; }
  // The current line is known to hold no control character
  // (SplitCheckedFields): the fields need not be searched for one.
  void SetLineChecked(bool checked) { lineChecked_ = checked; }
  void SetNames(const ColumnNames* names) { names_ = names; }
  int line() const { return line_; }
  const std::string& Name(size_t field) const;

  // Ends the line with a fault; always false.
  bool Fail(std::string reason);
  bool FailField(size_t field, std::string_view raw, std::string_view what);

  // The text of a field in CP949, blanks at both ends removed; a control
  // character is a fault, and so is an empty required field.
  bool Text(const FieldViews& f, size_t field, bool required, std::string* out);
  // The same as a view: of the line itself in a CP949 file, of *storage
  // (which it replaces) in a UTF-8 one.
  bool View(const FieldViews& f, size_t field, bool required, std::string* storage,
            std::string_view* out);
  // A flag: "1" yes, "0" or empty no.
  bool Flag(const FieldViews& f, size_t field, bool* on);
  // An unsigned decimal number of at most 9 digits; an empty optional field
  // reads as 0.
  bool Number(const FieldViews& f, size_t field, bool required, uint32_t* value);
  // A five-digit postal code.
  bool Zone(const FieldViews& f, size_t field, std::string* zone);
  // A full province name (CP949) that the dialling codes know.
  bool Province(size_t field, std::string_view sido);

  // Raw bytes of the file as a message shows them: UTF-8, control bytes
  // escaped, cut after 80 bytes on a character's boundary.
  std::string ForMessage(std::string_view raw) const;

 private:
  TextEncoding encoding_;
  ConvertError* error_;
  int line_ = 0;
  bool lineChecked_ = false;
  const ColumnNames* names_ = nullptr;
};

}  // namespace postal
