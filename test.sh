#!/usr/bin/env bash
# Builds the sanitized test configuration (the game, its data, the benchmark tool and the forge
# come with it) and the fuzz targets, runs each fuzz target for a bounded time, then every test:
# the headless ones in parallel, then the window ones one at a time, inside one Xvfb server.
# The release build is run.sh's: no test runs it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
morvane_install "${morvane_packages[@]}" "${morvane_test_packages[@]}"

root=$PWD
cores=$(nproc)

phase_start=$SECONDS
phase_done() {
  echo "test.sh: $1 took $((SECONDS - phase_start)) s"
  phase_start=$SECONDS
}

# ccache keys paths inside this clone relative to it, and the debug information names them
# relative to it too, so a fresh clone in another folder hits the cache the last one filled.
export CCACHE_BASEDIR=$root
relocate=(-DCMAKE_C_FLAGS="-fdebug-prefix-map=$root=." -DCMAKE_CXX_FLAGS="-fdebug-prefix-map=$root=.")

# Sanitized test build: the library, the game with its data, the benchmark tool, the forge
# and the suites.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_TESTS=ON -DMORVANE_SANITIZE=ON "${relocate[@]}"
cmake --build build-test -j "$cores"
phase_done "the sanitized build"

# Fuzz targets (clang, libFuzzer, ASan + UBSan). The build lists every target it defines; one
# missing from the folder, or no list at all, means the fuzzers did not build.
rm -f build-fuzz/fuzz-targets.txt  # written again by every configuration that defines targets
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${relocate[@]}"
cmake --build build-fuzz -j "$cores"
fuzzers=()
[ -f build-fuzz/fuzz-targets.txt ] && mapfile -t fuzzers < build-fuzz/fuzz-targets.txt
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "test.sh: no fuzz target was built (is clang with libFuzzer installed?)" >&2
  exit 1
fi
for name in "${fuzzers[@]}"; do
  if [ ! -x "build-fuzz/$name" ]; then
    echo "test.sh: fuzz target $name was not built" >&2
    exit 1
  fi
done
phase_done "the fuzz build"

# Each target runs for a bounded number of inputs and time, as many at once as there are cores.
fuzz_one() {
  local name=$1
  local corpus=build-fuzz/corpus/$name
  local args=(-runs=40000 -max_total_time=20 -timeout=5 -rss_limit_mb=2048 -print_final_stats=1
              -artifact_prefix="build-fuzz/$name-")
  local inputs=("$corpus")
  mkdir -p "$corpus"
  [ -f "tests/fuzz/$name.dict" ] && args+=(-dict="tests/fuzz/$name.dict")
  [ -d "tests/fuzz/seeds/$name" ] && inputs+=("tests/fuzz/seeds/$name")
  "build-fuzz/$name" "${args[@]}" "${inputs[@]}" > "build-fuzz/$name.log" 2>&1 || : > "build-fuzz/$name.failed"
}
rm -f build-fuzz/*.failed
for name in "${fuzzers[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$cores" ]; do wait -n || true; done
  echo "Fuzzing $name"
  fuzz_one "$name" &
done
wait
fuzz_failed=0
for name in "${fuzzers[@]}"; do
  if [ -e "build-fuzz/$name.failed" ]; then
    tail -n 80 "build-fuzz/$name.log"
    echo "Fuzz target $name failed; the input is in build-fuzz/$name-*"
    fuzz_failed=1
  else
    echo "== $name"
    tail -n 6 "build-fuzz/$name.log"
  fi
done
[ "$fuzz_failed" -eq 0 ] || exit 1
phase_done "fuzzing"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-test
# Headless tests in parallel, then the window tests (RUN_SERIAL) alone; both always run, and
# either failing fails the whole.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  status=0
  ctest --output-on-failure --timeout 600 -LE window -j "$1" || status=1
  ctest --output-on-failure --timeout 600 -L window || status=1
  exit $status' ctest-in-xvfb "$cores"
phase_done "the tests"
