#include "ZipArchive.h"

#include <zip.h>

#include <cctype>

#include "Cp949Check.h"
#include "TextEncoding.h"

namespace postal {
namespace {

std::string ErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

// Names in Korean archives are often CP949 without saying so.
std::string NameForMessages(const std::string& raw) {
  if (FirstInvalidUtf8(raw) == kValidText) return PrintableText(raw);
  if (FirstInvalidCp949(raw) == kValidText) return PrintableText(Utf8FromCp949(raw));
  return PrintableText(raw);
}

class MemberSource : public ByteSource {
 public:
  MemberSource(zip_file_t* file, uint64_t size) : file_(file), size_(size) {}
  ~MemberSource() override { zip_fclose(file_); }
  ssize_t Read(char* buf, size_t size, std::string* why) override {
    const zip_int64_t n = zip_fread(file_, buf, size);
    if (n < 0) {
      *why = zip_file_strerror(file_);
      return -1;
    }
    return static_cast<ssize_t>(n);
  }
  uint64_t ExpectedSize() const override { return size_; }

 private:
  zip_file_t* file_;
  uint64_t size_;
};

}  // namespace

bool LooksLikeZip(std::string_view first) {
  return first.substr(0, 4) == std::string_view("PK\x03\x04", 4) ||
         first.substr(0, 4) == std::string_view("PK\x05\x06", 4);
}

ZipArchive::~ZipArchive() {
  if (archive_) zip_discard(archive_);
}

bool ZipArchive::Open(const std::string& path, std::string* why) {
  int code = 0;
  archive_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!archive_) {
    *why = ErrorText(code);
    return false;
  }
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0) {
      *why = zip_strerror(archive_);
      return false;
    }
    Member m;
    m.index = static_cast<uint64_t>(i);
    m.rawName = (st.valid & ZIP_STAT_NAME) && st.name ? st.name : "";
    m.name = NameForMessages(m.rawName);
    m.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    m.modified = (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0;
    m.folder = !m.rawName.empty() && m.rawName.back() == '/';
    members_.push_back(std::move(m));
  }
  return true;
}

std::unique_ptr<ByteSource> ZipArchive::OpenMember(const Member& member, std::string* why) {
  zip_file_t* file = zip_fopen_index(archive_, member.index, 0);
  if (!file) {
    *why = zip_strerror(archive_);
    return nullptr;
  }
  return std::make_unique<MemberSource>(file, member.size);
}

bool IsTextMember(const ZipArchive::Member& member) {
  const std::string& n = member.rawName;
  if (member.folder || n.size() < 4) return false;
  std::string end = n.substr(n.size() - 4);
  for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return end == ".txt";
}

}  // namespace postal
