// dbfscramble: writes a scrambled copy of a DBF table (see FORMAT.md; this
// hides text from casual reading, it is not protection).
//
//   dbfscramble --password PW SOURCE.DBF TARGET.DBF
#include <cstdio>
#include <cstring>

#include "dbfengine.h"

int main(int argc, char** argv) {
  if (argc != 5 || std::strcmp(argv[1], "--password") != 0) {
    std::fprintf(stderr, "usage: dbfscramble --password PW SOURCE.DBF TARGET.DBF\n");
    return 2;
  }
  dbe_ErrorLevel(1);
  return dbe_ScrambleTable(argv[3], argv[4], argv[2]) ? 0 : 1;
}
