/* The public header used from plain C: opens a table, walks it and answers
 * the number of records visited (-1 when it does not open). */
#include "libs/dbfengine/dbfengine.h"

int dbftest_walk_from_c(const char* path) {
  int count = 0;
  const int16_t area = dbe_UseEx(path, "FROMC", 1, 3, 2);
  if (area < 1) return -1;
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) ++count;
  dbe_Close();
  return count;
}
