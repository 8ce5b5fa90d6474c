#pragma once
// The source tag of a postal table: what the full-text index stores when it
// is built (FtsSetTag) and what the opening stage compares with the stored
// one (FtsGetTag). An index answers for a table only when the two tags are
// equal and it holds as many records as the table; otherwise it is built
// again. Free of Qt, so that command-line tools follow the same rule.
#include <string>

namespace search {

// "size=<bytes> crc32c=<8 hex digits>" of the whole file: equal for equal
// contents, different after any change of a byte (also one that keeps the
// size). Empty when the file cannot be read; an empty tag matches no index.
std::string TableTag(const std::string& tablePath);

// True when storedTag names the table whose tag is tableTag.
inline bool TagsMatch(const std::string& storedTag, const std::string& tableTag) {
  return !tableTag.empty() && storedTag == tableTag;
}

}  // namespace search
