#!/usr/bin/env bash
# Kills `korvane-cli export` with SIGKILL at random moments of an export of ten libraries into an
# installation whose function listing has 50,000 lines, and checks after every kill that each file of
# the installation is whole: its old content or a content that an uninterrupted export writes (the
# listing after the first k libraries, for some k; a library's copy and descriptor as a complete run
# leaves them). After a complete run that follows a kill, the tree must equal that of an uninterrupted
# export and hold no temporary file.
#
#   export_crash_test.sh KORVANE_CLI [SEED]
# The seed (default: taken from the clock) is printed; give it back to repeat the same kill moments.
# KORVANE_CRASH_KILLS sets the number of kills (default 100). Exit status 77: the libraries are absent.
set -euo pipefail

cli=$1
seed=${2:-$(( $(date +%s%N) % 1000000007 ))}
kills=${KORVANE_CRASH_KILLS:-100}
mingw=/usr/x86_64-w64-mingw32/lib
names=(kernel32 user32 gdi32 advapi32 shell32 ole32 comctl32 ws2_32 comdlg32 shlwapi)
libraries=()
for name in "${names[@]}"; do
  [ -f "$mingw/lib$name.a" ] || { echo "SKIP: $mingw/lib$name.a absent"; exit 77; }
  libraries+=("$mingw/lib$name.a")
done
echo "seed $seed, $kills kills"
RANDOM=$seed

# A kill of a process is what is tested, not a power loss: memory-backed storage keeps the runs short.
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/korvane-crash.XXXXXX")
trap 'rm -rf "$work"' EXIT
template=$work/template
root=$work/root

fail() { echo "FAIL (seed $seed): $*" >&2; exit 1; }

# The installation before the export: a listing of 50,000 entries (a tenth of them names that the
# libraries import, so every library changes it), an older copy of one library and an older descriptor.
make_template() {
  mkdir -p "$template/PureLibraries/Windows/Libraries" "$template/Compilers"
  for library in "${libraries[@]}"; do
    LC_ALL=C grep -a -o '__imp_[A-Za-z_][A-Za-z0-9_]*' "$library" | sed 's/^__imp_//' | sort -u | awk 'NR <= 500'
  done | awk -v total=50000 '
    { imported[n++] = $0 }
    END {
      printf "%d\r\n", total
      for (i = 0; i < total; i++) {
        name = i < n ? imported[i] : sprintf("Filler%05dFunction", i)
        printf "%s (hWnd, lpText, uType)  int  |  Entry %d  |  Group  |  \r\n", name, i
      }
    }' > "$template/Compilers/APIFunctionListing.txt"
  head -c 4096 "${libraries[1]}" > "$template/PureLibraries/Windows/Libraries/libuser32.a"
  printf 'ERUPLLDE\003\0\0\0\0LIBUSER32\0OldFunction\0\002\0' > "$template/PureLibraries/Windows/LIBUSER32"
  # What an earlier export killed before its renames left behind.
  printf 'cut sh' > "$template/Compilers/APIFunctionListing.txt.korvane-tmp-Ab12Cd"
  printf 'cut sh' > "$template/PureLibraries/Windows/Libraries/libgdi32.a.korvane-tmp-Ef34Gh"
}

# "path hash" for every file of the tree $1 but the temporaries, sorted.
tree_state() {
  (cd "$1" && find . -type f ! -name '*.korvane-tmp*' -exec sha256sum {} + | awk '{ print $2, $1 }' | sort)
}

temporaries() { find "$1" -name '*.korvane-tmp*'; }

reset_root() { rm -rf "$root"; cp -a "$template" "$root"; }

run_export() { "$cli" export --root "$root" -- "$@" >/dev/null 2>&1; }

make_template
# The states an uninterrupted export passes through: the libraries are handled one after another, so
# exporting them one per run gives the state after each of them. A file may hold any of its contents
# in these states; a file there from the start must stay.
allowed=$work/allowed
tree_state "$template" > "$work/initial"
cp "$work/initial" "$allowed"
reset_root
for library in "${libraries[@]}"; do
  run_export "$library" || fail "export of $library failed"
  tree_state "$root" >> "$allowed"
done
sort -u -o "$allowed" "$allowed"
tree_state "$root" > "$work/one_by_one"

# One uninterrupted run of all ten: how long it takes sets the span of the kill moments.
reset_root
start=$(date +%s%N)
run_export "${libraries[@]}" || fail "the export of all libraries failed"
duration_us=$(( ($(date +%s%N) - start) / 1000 ))
tree_state "$root" > "$work/final"
cmp -s "$work/final" "$work/one_by_one" || fail "one run of all libraries differs from one run per library"
[ -z "$(temporaries "$root")" ] || fail "a complete export left temporary files"
cmp -s "$work/initial" "$work/final" && fail "the export changed nothing"
listing_lines=$(grep -c '' "$root/Compilers/APIFunctionListing.txt")
[ "$listing_lines" -gt 40000 ] || fail "the listing shrank to $listing_lines lines"
echo "a complete export takes $(( duration_us / 1000 )) ms; the listing has $listing_lines lines afterwards"

check_whole() {
  local state=$work/state
  tree_state "$root" > "$state"
  local unexpected
  unexpected=$(comm -23 "$state" "$allowed")
  [ -z "$unexpected" ] || fail "after a kill at $1 us, files neither old nor as an export writes them: $unexpected"
  local lost
  lost=$(comm -23 <(cut -d' ' -f1 "$work/initial") <(cut -d' ' -f1 "$state"))
  [ -z "$lost" ] || fail "after a kill at $1 us, files vanished: $lost"
}

killed_early=0
left_temporaries=0
for trial in $(seq 1 "$kills"); do
  reset_root
  delay_us=$(( (RANDOM * 32768 + RANDOM) % (duration_us + 1) ))
  "$cli" export --root "$root" -- "${libraries[@]}" >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%06d' $(( delay_us / 1000000 )) $(( delay_us % 1000000 )))"
  if kill -9 "$pid" 2>/dev/null; then
    killed_early=$(( killed_early + 1 ))
  fi
  { wait "$pid"; } 2>/dev/null || true
  check_whole "$delay_us"
  # A complete run after every kill that left temporaries behind, and after every tenth kill.
  if [ -n "$(temporaries "$root")" ]; then
    left_temporaries=$(( left_temporaries + 1 ))
  elif [ $(( trial % 10 )) -ne 0 ]; then
    continue
  fi
  run_export "${libraries[@]}" || fail "the export after a kill at $delay_us us failed"
  remaining=$(temporaries "$root")
  [ -z "$remaining" ] || fail "temporaries left after the complete run following a kill at $delay_us us: $remaining"
  cmp -s "$work/final" <(tree_state "$root") ||
    fail "after a kill at $delay_us us and a complete run the installation differs from an uninterrupted export"
done
echo "PASS: $killed_early of $kills runs killed before they ended, $left_temporaries left temporaries behind"
