// fontconfig loses a few hundred bytes while parsing its configuration files on first
// use; that leak is the library's own, so the leak checker is told to ignore it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
