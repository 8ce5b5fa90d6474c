#pragma once
// The members of a zip archive as downloaded (Korea Post's zipcode_DB.zip,
// the government's monthly zip), read through libzip: their names, sizes
// and dates, and each one's bytes as a ByteSource (inflated in pieces; the
// end of a member checks its CRC).
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ByteSource.h"

struct zip;

namespace postal {

// The first bytes of a zip archive ("PK\3\4", or "PK\5\6" for an empty one).
bool LooksLikeZip(std::string_view firstBytes);

class ZipArchive {
 public:
  struct Member {
    uint64_t index = 0;
    std::string rawName;  // as the archive holds it
    std::string name;     // for messages: UTF-8, from CP949 where the archive has that
    uint64_t size = 0;    // inflated
    std::time_t modified = 0;
    bool folder = false;
  };

  ZipArchive() = default;
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;
  ~ZipArchive();

  // Opens the archive at path; false with libzip's reason.
  bool Open(const std::string& path, std::string* why);
  const std::vector<Member>& members() const { return members_; }
  // The bytes of one member; null with the reason (an encrypted member, a
  // method libzip lacks).
  std::unique_ptr<ByteSource> OpenMember(const Member& member, std::string* why);

 private:
  zip* archive_ = nullptr;
  std::vector<Member> members_;
};

// True when a member's name ends in ".txt" (any case): the postal files of
// both downloads are text files so named.
bool IsTextMember(const ZipArchive::Member& member);

}  // namespace postal
