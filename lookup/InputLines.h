#pragma once
// The query lines of postcode-lookup's standard input, counted by their line
// ends: a zero byte or an overlong line is one line like any other.
#include <cstdio>
#include <string>

namespace lookup {

struct InputLine {
  long number = 0;       // 1 for the first line
  std::string text;      // without its line end (LF or CRLF)
  bool tooLong = false;  // over the limit: text is cut, the line was read to its end
  bool hasZeroByte = false;
};

class InputLines {
 public:
  InputLines(std::FILE* in, size_t maxBytes) : in_(in), maxBytes_(maxBytes) {}

  // The next line; false at the end of the input or when it cannot be read.
  bool Next(InputLine* line);
  bool Failed() const { return std::ferror(in_) != 0; }

 private:
  std::FILE* in_;
  size_t maxBytes_;
  long number_ = 0;
};

}  // namespace lookup
