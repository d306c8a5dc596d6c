#!/usr/bin/env bash
# Builds the optimised benchmark configuration and runs the benchmarks: korvane_bench (our reader on
# generated and real import libraries) and, when LLVM 14 was found at configure time, korvane_bench_llvm
# (LLVM's archive reader on the same input). Extra arguments go to both executables, for example
#   scripts/bench.sh --benchmark_filter='real/read/' --benchmark_repetitions=3
# Run scripts/setup.sh first on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench
for target in korvane_bench korvane_bench_window korvane_bench_xml korvane_bench_export korvane_bench_parse_page korvane_bench_llvm; do
  executable="build/bench/bench/$target"
  if [ ! -x "$executable" ]; then
    echo "bench: $target was not built, skipped"
    continue
  fi
  echo "== $target"
  "$executable" "$@"
done

# The whole command line against llvm-nm and cat on the same libraries.
echo "== korvane-cli list against llvm-nm and cat"
scripts/bench-list.sh

# The real list view under Wine: loading about 10,000 functions into the main window.
cmake --preset windows >/dev/null
cmake --build --preset windows --target korvane_wine_bench
echo "== korvane_wine_bench (under Wine)"
scripts/wine-run.sh build/windows/bench/wine/korvane_wine_bench.exe

# The user-interface thread's message waits while "msdn Checked" runs a batch of about 1,000 functions
# against a local HTTP server, in the real main window under Wine.
cmake --build --preset windows --target korvane_wine_batch_latency
echo "== korvane_wine_batch_latency (under Wine)"
scripts/wine-run.sh build/windows/bench/wine/korvane_wine_batch_latency.exe
