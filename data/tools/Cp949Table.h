#pragma once
// Character by character CP949 for the data tools: the project's codec
// (platform/Cp949Codec.h), whose tables keep the conversion of large range
// files to a few nanoseconds a character.
#include "platform/Cp949Codec.h"

namespace postal {

using platform::Cp949Assigned;
using platform::Cp949Code;

}  // namespace postal
