// Font lookups through fontconfig keep caches for the life of the process; they are not leaks
// of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
