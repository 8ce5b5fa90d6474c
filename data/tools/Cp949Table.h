#pragma once
// CP949 (Unified Hangul Code) as lookup tables, made once from glibc's CP949
// converter: which double-byte codes are assigned, and the code of every BMP
// character CP949 can hold. Table look-ups keep the conversion of large range
// files to a few nanoseconds a character.
#include <cstdint>

namespace postal {

// True when lead, trail is an assigned double-byte character.
bool Cp949Assigned(uint8_t lead, uint8_t trail);

// The CP949 code of a Unicode character: the byte itself below 0x80, lead << 8
// | trail for a double-byte character, 0 when CP949 has no such character.
uint16_t Cp949Code(char32_t ch);

}  // namespace postal
