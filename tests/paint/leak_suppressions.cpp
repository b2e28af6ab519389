// Font configuration keeps its caches for the life of the process and nothing
// frees them in a program that uses Qt's fonts; the leak checker is told so
// here rather than through the environment, so every way of running the
// painting and GUI tests agrees (both programs are built with this file).
#if defined(QX_ASAN)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
#endif
