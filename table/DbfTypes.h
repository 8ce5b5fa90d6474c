#pragma once
// Property types of the table component and its error class.
#include <cstdint>

#include "dataset/DataSetTypes.h"

enum TAccessMethod { amLocal, amServer };
enum TDbfCommitLevel { clFull, clNormal, clNone };
enum TEOFAction { eaEOF, eaMoveLast };
enum TDbfTableType { ttNTX, ttFOX, ttMTX, ttMTX_DBT, ttNONE };
enum TSequencedCount { scAllCount = 0, scFilterOnlyCount = 1, scRawCount = 2 };

// One engine field: where it lies in the engine record and in a view buffer.
struct TFieldInfo {
  int32_t Offset = 0;        // 0-based position in the engine record
  int32_t BufferOffset = 0;  // position of the presence byte in a view buffer
  int32_t Width = 0;
  int32_t Decimals = 0;
};

// The table component's exception; its message is the error text.
class EDbfTableError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};
