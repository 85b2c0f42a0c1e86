// Leaks of system libraries that the leak checker of the sanitizer build
// must not blame on the program: fontconfig keeps its configuration for
// the life of the process and never frees it, whoever uses fonts.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
