// Built into every program of a sanitizer build, so that a test run without
// the preset's environment still ignores the leaks of system libraries that
// Qt loads (font configuration, D-Bus, the X client library, the graphics
// drivers, GStreamer) and Open MPI's own libraries: they are not Kestrum's
// to free.
// Weak, since object libraries carry a copy into programs that have one too.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n"
         "leak:libX11.so\n"
         "leak:libxcb.so\n"
         "leak:libEGL\n"
         "leak:libGLX\n"
         "leak:libgstreamer-1.0.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libmpi.so\n"
         "leak:libopen-pal.so\n"
         "leak:libopen-rte.so\n"
         "leak:libpmix.so\n"
         "leak:libhwloc.so\n"
         "leak:libevent\n";
}
