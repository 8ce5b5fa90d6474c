// Sanitizer settings built into every test program, so that a test run by
// hand behaves as it does under CTest.
extern "C" {

// Allocations that Qt, fontconfig, GLib and D-Bus keep for the life of the
// process and never free; they are not ours to release.
const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n"
         "leak:libQt6Core\n"
         "leak:libQt6Gui\n"
         "leak:libdbus\n"
         "leak:libglib\n";
}

const char* __ubsan_default_options() {
  return "print_stacktrace=1:halt_on_error=1";
}

}  // extern "C"
