// fontconfig loses a few hundred bytes while parsing its configuration files on first
// use, and FreeType objects hang off them; those leaks are the libraries' own, so the
// leak checker is told to ignore them.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libfreetype.so\n";
}
