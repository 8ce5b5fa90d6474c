// Process-wide engine settings and the recorded error.
#pragma once

#include <cstdint>
#include <string>

namespace dbe {

struct Settings {
  int errorLevel = 1;
  bool readCache = true;
  bool translate = false;
  bool deleted = false;
  bool century = false;
  bool softSeek = false;
  bool exact = false;
  int epoch = 1950;
  int memoBlockSize = 512;
  int dateFormat = 0;
  int stringType = 1;
};

Settings& settings();

// Records an error (or, with warning set, a warning) and writes it to stderr
// when the error level asks for it.
void setError(int code, const std::string& message, bool warning = false);
// Records an error without writing it anywhere (for a fault already reported
// once, met again record after record).
void noteError(int code, const std::string& message);
int lastError();
const std::string& lastErrorText();
void clearError();

}  // namespace dbe
