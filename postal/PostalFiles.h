#pragma once
// The postal data's files and how they are opened: named once, for the
// window and the command-line tools alike.
#include <cstdint>

#include "platform/RunFolders.h"

namespace postal {

using platform::kTableFileName;  // "POSTCODE.DBF"
// The full-text index; named without a folder, the window keeps it in the
// working directory.
inline constexpr char kIndexFileName[] = "POSTCODE.FTS";

// The table's password: a scrambled table reads in clear with it, a plain
// one ignores it.
inline constexpr char kTablePassword[] = "qmvrt";

// dbe_UseEx's arguments for the postal table: read-only, MTX driver, no
// commits (nothing is written).
inline constexpr int16_t kOpenReadOnly = 1;
inline constexpr int16_t kDriverMtx = 3;
inline constexpr int16_t kCommitNone = 2;

// FtsCreate's and FtsOpen's numeric arguments, as the finder has always
// passed them (the library accepts and ignores them).
struct IndexCreateArguments {
  int16_t arg1 = 20;
  int16_t arg2 = 2;
  int8_t arg3 = 1;
  int16_t arg4 = 1;
};
struct IndexOpenArguments {
  int16_t arg1 = 20;
  int16_t arg2 = 1;
};
inline constexpr IndexCreateArguments kIndexCreate{};
inline constexpr IndexOpenArguments kIndexOpen{};

}  // namespace postal
