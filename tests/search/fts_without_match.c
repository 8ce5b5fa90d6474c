/* A full-text library of the right name with every entry point of the
 * program but FtsMatch: it loads, and the availability check must still
 * refuse it. The stubs are never called. */
#include <stdint.h>

int32_t FtsCreate(const char* f, int16_t a, int16_t b, int8_t c, int16_t d) {
  (void)f, (void)a, (void)b, (void)c, (void)d;
  return -1;
}
int32_t FtsOpen(const char* f, int16_t a, int16_t b) {
  (void)f, (void)a, (void)b;
  return -1;
}
int32_t FtsAdd(int32_t h, const char* r) {
  (void)h, (void)r;
  return -1;
}
int32_t FtsSet(int32_t h, const char* t) {
  (void)h, (void)t;
  return -1;
}
int32_t FtsNextRec(int32_t h) {
  (void)h;
  return -1;
}
int32_t FtsVerify(int32_t h, const char* r, const char* t, int32_t m) {
  (void)h, (void)r, (void)t, (void)m;
  return -1;
}
int32_t FtsNumRecs(int32_t h) {
  (void)h;
  return -1;
}
int32_t FtsClose(int32_t h) {
  (void)h;
  return -1;
}
