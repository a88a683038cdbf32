// Linked into the fuzz targets that start the gui: the font configuration
// library keeps caches for the life of the process (found fonts, patterns)
// and never frees them, so the leak check at exit would fail every run that
// looked up a font. Leaks of the program's own code are still reported.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
