#include "FieldReader.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "Cp949Check.h"
#include "Cp949Table.h"
#include "DialCode.h"

namespace postal {

size_t SplitFields(std::string_view line, FieldViews* f) {
  size_t n = 0, start = 0;
  for (;;) {
    const size_t bar = line.find('|', start);
    const size_t end = bar == std::string_view::npos ? line.size() : bar;
    if (n < kMaxFields) (*f)[n] = line.substr(start, end - start);
    ++n;
    if (bar == std::string_view::npos) return n;
    start = bar + 1;
  }
}

namespace {

// Cp949Assigned as a bit per double-byte code, asked once for every code:
// a table look-up in the loop that checks every byte of a large file.
class AssignedCodes {
 public:
  AssignedCodes() {
    for (unsigned code = 0x8100; code <= 0xFFFF; ++code)
      if (Cp949Assigned(static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code & 0xFF)))
        bits_[code >> 6] |= uint64_t{1} << (code & 63);
  }
  bool Test(uint8_t lead, uint8_t trail) const {
    const unsigned code = unsigned{lead} << 8 | trail;
    return (bits_[code >> 6] >> (code & 63)) & 1;
  }

 private:
  uint64_t bits_[1024] = {};
};

}  // namespace

size_t SplitCheckedFields(std::string_view line, TextEncoding encoding, FieldViews* f,
                          LineCheck* check, bool charactersChecked) {
  *check = LineCheck{};
  static const AssignedCodes assigned;
  const auto* p = reinterpret_cast<const uint8_t*>(line.data());
  const size_t size = line.size();
  const bool cp949 = encoding == TextEncoding::kCp949 && !charactersChecked;
  // Bytes beyond ASCII stop the eight-at-a-time scan only where they are
  // to be checked.
  const uint64_t stopAtHigh = charactersChecked ? 0 : ~uint64_t{0};
  size_t n = 0, start = 0;
  for (size_t i = 0; i < size;) {
    // Eight plain characters at a time: none beyond ASCII, no '|', no
    // control character. (The bit of the first byte that is one of them is
    // exact; bits above it may be set by borrows, and are not used.)
    if (size - i >= 8) {
      uint64_t x;
      std::memcpy(&x, p + i, 8);
      constexpr uint64_t kOnes = 0x0101010101010101, kHigh = 0x8080808080808080;
      const uint64_t bar = x ^ (kOnes * '|'), del = x ^ (kOnes * 0x7F);
      const uint64_t special = ((x & stopAtHigh) | ((x - kOnes * 0x20) & ~x) |
                                ((bar - kOnes) & ~bar) | ((del - kOnes) & ~del)) &
                               kHigh;
      if (special == 0) {
        i += 8;
        continue;
      }
      const size_t plain = static_cast<size_t>(__builtin_ctzll(special)) / 8;
      if (plain > 0) {
        i += plain;
        continue;
      }
    }
    const uint8_t b = p[i];
    if (b == '|') {
      if (n < kMaxFields) (*f)[n] = line.substr(start, i - start);
      ++n;
      start = ++i;
    } else if (b < 0x80) {
      if ((b < 0x20 || b == 0x7F) && !check->control) check->control = true;
      ++i;
    } else if (!cp949) {
      ++i;  // checked below as a whole
    } else {
      // A run of double-byte characters, as Korean words are.
      do {
        if (i + 1 < size && assigned.Test(p[i], p[i + 1])) {
          i += 2;
        } else {
          if (check->badByte == kValidText) check->badByte = i;
          ++i;
        }
      } while (i < size && p[i] >= 0x80);
    }
  }
  if (n < kMaxFields) (*f)[n] = line.substr(start);
  if (!cp949 && !charactersChecked) check->badByte = FirstInvalidUtf8(line);
  return n + 1;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool IsZone(std::string_view s) {
  return s.size() == 5 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const std::string& FieldReader::Name(size_t field) const {
  static const std::string unnamed = "field";
  if (!names_ || field >= names_->size()) return unnamed;
  return (*names_)[field];
}

bool FieldReader::Fail(std::string reason) {
  if (error_) *error_ = ConvertError{line_, std::move(reason)};
  return false;
}

bool FieldReader::FailField(size_t field, std::string_view raw, std::string_view what) {
  return Fail(Name(field) + " \"" + ForMessage(raw) + "\": " + std::string(what));
}

bool FieldReader::View(const FieldViews& f, size_t field, bool required, std::string* storage,
                       std::string_view* out) {
  const std::string_view raw = Trimmed(f[field]);
  *out = {};
  if (!lineChecked_)
    for (char c : raw)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return FailField(field, raw, "control character");
  if (required && raw.empty()) return FailField(field, raw, "empty");
  if (encoding_ == TextEncoding::kCp949) {
    *out = raw;
    return true;
  }
  storage->clear();
  char32_t missing = 0;
  if (!AppendCp949FromUtf8(raw, storage, &missing))
    return FailField(field, raw, "character " + CodePointName(missing) + " has no CP949 form");
  *out = *storage;
  return true;
}

bool FieldReader::Text(const FieldViews& f, size_t field, bool required, std::string* out) {
  std::string_view view;
  if (!View(f, field, required, out, &view)) return false;
  if (view.data() != out->data()) out->assign(view);
  return true;
}

bool FieldReader::Flag(const FieldViews& f, size_t field, bool* on) {
  const std::string_view raw = Trimmed(f[field]);
  if (raw.empty() || raw == "0") {
    *on = false;
    return true;
  }
  if (raw == "1") {
    *on = true;
    return true;
  }
  return FailField(field, raw, "neither 0 nor 1");
}

bool FieldReader::Number(const FieldViews& f, size_t field, bool required, uint32_t* value) {
  const std::string_view raw = Trimmed(f[field]);
  *value = 0;
  if (raw.empty()) return required ? FailField(field, raw, "not a number") : true;
  if (raw.size() > 9) return FailField(field, raw, "not a number of at most 9 digits");
  const auto [end, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), *value);
  if (ec != std::errc() || end != raw.data() + raw.size() || raw[0] == '+')
    return FailField(field, raw, "not a number");
  return true;
}

bool FieldReader::Zone(const FieldViews& f, size_t field, std::string* zone) {
  const std::string_view raw = Trimmed(f[field]);
  if (!IsZone(raw)) return FailField(field, raw, "not a five-digit zone number");
  zone->assign(raw);
  return true;
}

bool FieldReader::Province(size_t field, std::string_view sido) {
  if (IsKnownFullProvince(sido)) return true;
  return Fail(Name(field) + " \"" + PrintableText(Utf8FromCp949(sido)) +
              "\": not a province of the dialling-code table");
}

std::string FieldReader::ForMessage(std::string_view raw) const {
  const std::string shown =
      PrintableText(encoding_ == TextEncoding::kCp949 ? Utf8FromCp949(raw) : std::string(raw));
  size_t cut = 80;
  if (shown.size() <= cut) return shown;
  while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
  return shown.substr(0, cut) + "...";
}

}  // namespace postal
