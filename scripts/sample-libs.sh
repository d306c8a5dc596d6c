# Sourced: a sample of the import libraries that Debian's mingw-w64 packages install, 32- and 64-bit.
KORVANE_SAMPLE_LIBS=()
for dir in /usr/i686-w64-mingw32/lib /usr/x86_64-w64-mingw32/lib; do
  for name in libuser32.a libkernel32.a libgdi32.a libcomctl32.a libshell32.a libwinhttp.a; do
    [ -f "$dir/$name" ] && KORVANE_SAMPLE_LIBS+=("$dir/$name")
  done
done
