#include "Settings.h"

#include <cstdio>

namespace dbe {

namespace {
int g_code = 0;
std::string g_text;
}  // namespace

Settings& settings() {
  static Settings s;
  return s;
}

void setError(int code, const std::string& message, bool warning) {
  g_code = code;
  g_text = message;
  if (settings().errorLevel >= (warning ? 2 : 1)) {
    std::fprintf(stderr, "dbfengine: %s\n", message.c_str());
  }
}

void noteError(int code, const std::string& message) {
  g_code = code;
  g_text = message;
}

int lastError() {
  return g_code;
}
const std::string& lastErrorText() {
  return g_text;
}
void clearError() {
  g_code = 0;
  g_text.clear();
}

}  // namespace dbe
