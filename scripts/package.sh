#!/usr/bin/env bash
# Builds the Release Windows programs and the documentation set and writes the release archive
# build/dist/Korvane-<version>-win64.zip: Korvane.exe, korvane-cli.exe, Korvane.docs, README.txt,
# THIRD-PARTY-NOTICES.txt and, when the project has one, LICENSE.txt. The version is CMake's project
# version, as the programs' version resources and `korvane-cli --version` give it. The same build
# packaged twice gives the same bytes: every entry has the same fixed time and the entries a fixed order.
# Prints the archive's path.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh >&2
cmake --preset windows >/dev/null
cmake --build --preset windows --target Korvane korvane-cli >&2
docs=$(scripts/docs-set.sh)

version=$(sed -n 's/^#define KORVANE_VERSION "\(.*\)"$/\1/p' build/windows/generated/korvane_version.h)
[ -n "$version" ] || { echo "package: no version in build/windows/generated/korvane_version.h" >&2; exit 1; }
name="Korvane-$version-win64"
stage="$root/build/dist/$name"
zip_file="$root/build/dist/$name.zip"
rm -rf "$stage"
mkdir -p "$stage"

# Text files for Windows users: CRLF line ends (a file that has them already keeps them).
to_crlf() { sed -e 's/\r$//' -e 's/$/\r/'; }

cp build/windows/src/Korvane.exe build/windows/src/korvane-cli.exe "$stage/"
cp "$docs" "$stage/Korvane.docs"
sed "s/@VERSION@/$version/g" packaging/README.txt | to_crlf >"$stage/README.txt"

# The notices come from the copyright files of the Debian packages that the linked libraries were
# built from, as installed on this machine; each must hold the text that identifies its licence, so an
# empty or replaced file stops the packaging instead of shipping without the notice.
#   library | Debian package | text its copyright file must contain
notices=(
  "expat|libexpat1-dev|Permission is hereby granted"
  "libpng|libpng-dev|PNG Reference Library"
  "zlib|libz-mingw-w64-dev|Jean-loup Gailly"
  "mingw-w64 runtime and winpthreads|mingw-w64-x86-64-dev|winpthreads"
  "libstdc++ and libgcc (GCC, with the GCC Runtime Library Exception)|g++-mingw-w64-x86-64-posix|GCC RUNTIME LIBRARY EXCEPTION"
)
{
  printf '%s\n' "Third-party notices for Korvane $version" "" \
    "Korvane.exe and korvane-cli.exe contain the following libraries, linked statically. Their" \
    "licence texts follow, as the Debian packages they were built from state them." ""
  for entry in "${notices[@]}"; do
    IFS='|' read -r library package marker <<<"$entry"
    copyright="/usr/share/doc/$package/copyright"
    if ! grep -q -- "$marker" "$copyright" 2>/dev/null; then
      echo "package: $copyright is missing or does not contain \"$marker\"" >&2
      exit 1
    fi
    package_version=$(dpkg-query -W -f='${Version}' "$package")
    printf '%s\n' "" "========================================================================" \
      "$library" "from the Debian package $package $package_version ($copyright)" \
      "========================================================================" ""
    cat "$copyright"
  done
  # libstdc++ and libgcc are under the GPL version 3 with the exception above, which is worded in
  # terms of that licence; Debian keeps its text apart.
  printf '%s\n' "" "========================================================================" \
    "GNU General Public License version 3, referred to by the GCC Runtime Library Exception" \
    "(/usr/share/common-licenses/GPL-3)" \
    "========================================================================" ""
  cat /usr/share/common-licenses/GPL-3
} | to_crlf >"$stage/THIRD-PARTY-NOTICES.txt"

entries=(Korvane.exe korvane-cli.exe Korvane.docs README.txt THIRD-PARTY-NOTICES.txt)
for licence in LICENSE LICENSE.txt LICENSE.md COPYING; do
  if [ -f "$licence" ]; then
    to_crlf <"$licence" >"$stage/LICENSE.txt"
    entries+=(LICENSE.txt)
    break
  fi
done

# Fixed entry times: SOURCE_DATE_EPOCH when set, else the time of the commit being packaged (zip keeps
# a local time without a zone; UTC is used). Fixed permissions, no extra fields (-X), no folder entries
# (-D), the entries in the order listed above.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
for entry in "${entries[@]}"; do
  chmod 644 "$stage/$entry"
  TZ=UTC touch -d "@$epoch" "$stage/$entry"
done
rm -f "$zip_file.new"
(cd "$stage" && printf '%s\n' "${entries[@]}" | TZ=UTC zip -X -D -9 -q "$zip_file.new" -@)
mv -f "$zip_file.new" "$zip_file"
echo "$zip_file"
