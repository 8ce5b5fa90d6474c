// The work-area table of the process and the current area.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "WorkArea.h"

namespace dbe {

constexpr int kMaxAreas = 250;

// Current area, or nullptr (recording DBE_E_NO_AREA) when it is not open.
WorkArea* current();
// Same without recording an error (for quiet answers).
WorkArea* currentQuiet();
WorkArea* area(int n);
int16_t currentNumber();
int16_t selectArea(int16_t n);
// Places the area in the first free slot; answers its number or 0.
int16_t addArea(std::unique_ptr<WorkArea> a);
void closeCurrent();

// Engine-owned storage for returned texts.
const char* returnText(const std::string& s);
const char* returnText(const char* data, size_t size);

}  // namespace dbe
