// Sanitizer settings built into every test program, so that a test run by
// hand behaves as it does under CTest.
extern "C" {

// The suppressions of tests/support/lsan.supp, which the build turns into a
// string literal.
const char* __lsan_default_suppressions() {
  return
#include "lsan_suppressions.inc"
      ;
}

const char* __ubsan_default_options() {
  return "print_stacktrace=1:halt_on_error=1";
}

}  // extern "C"
