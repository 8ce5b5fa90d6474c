#pragma once
// A second reader of the index file, written from FORMAT.md alone (its own
// checksum, page walk and list decoding), to hold the library to the
// document and to find the bytes of a list in a test's file.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ftstest {

// CRC-32C bit by bit, as FORMAT.md defines the checksum.
uint32_t Crc32cBitwise(const std::string& data);

struct FormatEntry {
  uint32_t key = 0, count = 0;
  uint64_t offset = 0;  // within the postings area
  uint32_t length = 0, headChecksum = 0, encoding = 0;
};

struct FormatFile {
  std::string error;  // why the file breaks a rule of FORMAT.md; empty when none
  uint32_t version = 0, records = 0, keys = 0;
  uint64_t postingsSize = 0, directoryOffset = 0;
  uint32_t levels = 0;
  std::string tag;
  std::vector<FormatEntry> entries;  // every leaf entry, in order
};

// Reads every header field, page and list of a file image and checks them.
FormatFile ReadFormatFile(const std::string& image);

// The record numbers of a list; false (with the reason) when it breaks a rule.
bool DecodeList(const std::string& image, const FormatFile& file, const FormatEntry& entry,
                std::vector<uint32_t>& out, std::string* why);

// File offsets [begin, end) of part p of a list: its block (Elias-Fano) or
// chunk (bitmap) data.
std::pair<uint64_t, uint64_t> PartBytes(const std::string& image, const FormatFile& file,
                                        const FormatEntry& entry, uint32_t part);

// Stores the header's checksum again after a change to bytes 0..507.
void ResealHeader(std::string& image);

uint32_t Get32(const std::string& image, uint64_t at);
void Put32(std::string& image, uint64_t at, uint32_t v);

}  // namespace ftstest
