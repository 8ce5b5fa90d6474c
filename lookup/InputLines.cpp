#include "lookup/InputLines.h"

namespace lookup {

bool InputLines::Next(InputLine* line) {
  line->text.clear();
  line->tooLong = false;
  line->hasZeroByte = false;
  bool any = false;
  for (int c; (c = getc_unlocked(in_)) != EOF;) {
    any = true;
    if (c == '\n') break;
    if (c == '\0') line->hasZeroByte = true;
    if (line->text.size() <= maxBytes_)
      line->text += static_cast<char>(c);
    else
      line->tooLong = true;
  }
  if (!any) return false;
  if (!line->text.empty() && line->text.back() == '\r') line->text.pop_back();
  if (line->text.size() > maxBytes_) line->tooLong = true;
  line->number = ++number_;
  return true;
}

}  // namespace lookup
