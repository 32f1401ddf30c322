// Linked into every test that starts Qt. fontconfig keeps its configuration in
// memory it never frees; LeakSanitizer asks this hook which leaks are known.

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
