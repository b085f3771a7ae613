// Compiled into every sanitized program that links the host library. OpenCASCADE keeps
// process-wide caches that it never frees: the leak checker ignores allocations made from
// its toolkits (libTK*), so that our own leaks still fail, and keeps quiet about it so
// that error output stays one line per bad file.
extern "C" const char* __lsan_default_suppressions() { return "leak:libTK\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
