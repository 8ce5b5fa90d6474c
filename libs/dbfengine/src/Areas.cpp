#include "Areas.h"

#include "dbfengine.h"

namespace dbe {

namespace {
std::unique_ptr<WorkArea> g_areas[kMaxAreas + 1];
int16_t g_current = 0;
std::string g_text;
}  // namespace

WorkArea* currentQuiet() {
  return g_current >= 1 && g_current <= kMaxAreas ? g_areas[g_current].get() : nullptr;
}

WorkArea* current() {
  WorkArea* a = currentQuiet();
  if (!a) setError(DBE_E_NO_AREA, "no table open in work area " + std::to_string(g_current));
  return a;
}

WorkArea* area(int n) {
  return n >= 1 && n <= kMaxAreas ? g_areas[n].get() : nullptr;
}

int16_t currentNumber() {
  return g_current;
}

int16_t selectArea(int16_t n) {
  const int16_t previous = g_current;
  g_current = n;
  return previous;
}

int16_t addArea(std::unique_ptr<WorkArea> a) {
  for (int16_t i = 1; i <= kMaxAreas; ++i) {
    if (!g_areas[i]) {
      g_areas[i] = std::move(a);
      return i;
    }
  }
  return 0;
}

void closeCurrent() {
  if (g_current >= 1 && g_current <= kMaxAreas) g_areas[g_current].reset();
}

const char* returnText(const std::string& s) {
  g_text = s;
  return g_text.c_str();
}

const char* returnText(const char* data, size_t size) {
  g_text.assign(data, size);  // reuses the buffer: no allocation per record
  return g_text.c_str();
}

}  // namespace dbe
