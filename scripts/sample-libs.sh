# Sourced: a sample of the import libraries that Debian's mingw-w64 packages install, one list per
# architecture (the two lists share file names, so one load of both would skip the second of each).
sample_libs() {  # sample_libs i686|x86_64
  local name
  for name in libuser32.a libkernel32.a libgdi32.a libcomctl32.a libshell32.a libwinhttp.a; do
    [ -f "/usr/$1-w64-mingw32/lib/$name" ] && echo "/usr/$1-w64-mingw32/lib/$name"
  done
  return 0
}
