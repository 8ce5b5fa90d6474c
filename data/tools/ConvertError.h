#pragma once
// The one error of the conversion: what is wrong and on which line of the
// source (0 when it concerns the whole file).
#include <string>

namespace postal {

struct ConvertError {
  int line = 0;
  std::string reason;
};

}  // namespace postal
