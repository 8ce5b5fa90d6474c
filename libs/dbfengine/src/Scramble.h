// The record scrambling scheme of scrambled tables (see FORMAT.md). It hides
// text from casual reading; it is not protection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dbe {

// 64-bit key derived from the password (FNV-1a 64 over its bytes).
uint64_t scrambleKey(std::string_view password);
// 32-bit check value stored in the table header to recognise the password.
uint32_t scrambleCheck(uint64_t key);
// XORs the field bytes of record `recno` (everything after the deletion flag)
// with the key stream; applying it twice gives the original bytes.
void scrambleRecord(uint64_t key, uint32_t recno, uint8_t* fields, size_t size);

}  // namespace dbe
