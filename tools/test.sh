#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the plain build with
# warnings as errors, the ASan/UBSan build, the ThreadSanitizer build of the
# thread tests and the libFuzzer targets for a minute each (MORNA_FUZZ_SECONDS).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

bash tools/install-deps.sh

jobs=$(nproc)
mkdir -p build
rm -f build/*-ctest.log
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$top/tools/lsan.supp

build() {  # build <dir> <cmake args...>
  local dir=$1; shift
  cmake -S "$top" -B "$dir" -G Ninja -DMORNA_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

echo "== plain build"
build build/ci -DMORNA_BENCH=ON
ctest --test-dir build/ci -j "$jobs" --output-on-failure --timeout 300 | tee build/ci-ctest.log

echo "== ASan/UBSan build"
build build/asan -DMORNA_SANITIZE=address
# The long tests (label long: every input of the 16-bit add and subtract forms, pure
# arithmetic on no memory of their own) run in the plain build only.
ctest --test-dir build/asan -j "$jobs" --output-on-failure --timeout 600 -LE long | tee build/asan-ctest.log

if [ -f tests/tsan_tests.txt ]; then
  echo "== ThreadSanitizer build"
  # Kernels with many bits of mmap randomisation put memory where TSan does not
  # expect it ("unexpected memory mapping"); then the build (its test discovery
  # runs the programs) and the tests go without address-space randomisation.
  tsan_run=()
  printf 'int main() { return 0; }\n' > build/tsan-probe.cpp
  if g++ -fsanitize=thread build/tsan-probe.cpp -o build/tsan-probe 2>/dev/null \
     && ! build/tsan-probe 2>build/tsan-probe.log && grep -q "unexpected memory mapping" build/tsan-probe.log; then
    echo "TSan: unexpected memory mapping; running without address-space randomisation"
    tsan_run=(setarch "$(uname -m)" -R)
  fi
  "${tsan_run[@]}" cmake -S "$top" -B build/tsan -G Ninja -DMORNA_WERROR=ON -DMORNA_SANITIZE=thread >/dev/null
  "${tsan_run[@]}" cmake --build build/tsan -j "$jobs"
  "${tsan_run[@]}" ctest --test-dir build/tsan -j "$jobs" --output-on-failure --timeout 600 -L thread | tee build/tsan-ctest.log
fi

if [ -d fuzz ] && ls fuzz/*.cpp >/dev/null 2>&1; then
  echo "== fuzz targets, ${MORNA_FUZZ_SECONDS:-60} s each"
  CC=clang-14 CXX=clang++-14 build build/fuzz -DMORNA_FUZZ=ON -DMORNA_TESTS=OFF
  for f in build/fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f"); name=${name#fuzz_}
    work=$(mktemp -d)
    mkdir "$work/corpus" "$work/found"
    [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$work/corpus/"
    if "$f" -max_total_time="${MORNA_FUZZ_SECONDS:-60}" -rss_limit_mb=2048 -print_final_stats=1 \
         -artifact_prefix="$work/found/" "$work/corpus" >"$work/log" 2>&1; then
      tail -n 3 "$work/log"
    else
      status=$?
      # The report and the input that caused it (base64, when small), to reproduce it from this log.
      echo "fuzz_$name failed with exit code $status:"
      grep -v -E '^#[0-9]+' "$work/log" | tail -n 80
      for a in "$work"/found/*; do
        [ -f "$a" ] && [ "$(stat -c %s "$a")" -le 65536 ] && echo "input $(basename "$a"): $(base64 -w0 "$a")"
      done
      rm -rf "$work"
      exit "$status"
    fi
    rm -rf "$work"
  done
fi

# One closing line over every CTest run above.
read -r passed failed < <(cat build/*-ctest.log | awk '/tests failed out of/ {
  for (i = 1; i <= NF; i++) if ($i == "out" && $(i+1) == "of") t += $(i+2);
  for (i = 1; i <= NF; i++) if ($i == "tests" && $(i+1) == "failed") f += $(i-1) }
  END { print t - f, f + 0 }')
echo "Tests: ${passed} passed, ${failed} failed"
