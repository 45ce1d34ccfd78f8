#!/usr/bin/env bash
# Builds the sanitized test configuration, the fuzz targets and the game, then runs every test.
# Window tests run inside one Xvfb server; each fuzz target runs for a bounded number of inputs.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
morvane_install "${morvane_packages[@]}" "${morvane_test_packages[@]}"

jobs=$(nproc)

# The game itself (release-like), so the benchmark tool and the program folder are checked too.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"

# Sanitized test build.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_TESTS=ON -DMORVANE_SANITIZE=ON
cmake --build build-test -j "$jobs"

# Fuzz targets (clang, libFuzzer, ASan + UBSan).
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz -j "$jobs"
for fuzzer in build-fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="tests/fuzz/seeds/$name"
  [ -d "$seeds" ] || seeds=""
  echo "Fuzzing $name"
  log="build-fuzz/$name.log"
  if ! "$fuzzer" -runs=40000 -max_total_time=20 -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/$name-" "$corpus" $seeds > "$log" 2>&1; then
    tail -n 80 "$log"
    echo "Fuzz target $name failed; the input is in build-fuzz/$name-*"
    exit 1
  fi
  tail -n 6 "$log"
done

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-test
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 600
