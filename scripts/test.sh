#!/usr/bin/env bash
# Builds and runs every test: the native suite, the same suite under
# AddressSanitizer/UBSan, the Windows build of the suite under Wine, the
# Windows program end to end under Wine in Xvfb, and a bounded fuzz run.
# Prints one summary line at the end.
#   scripts/test.sh            everything
#   FUZZ_SECONDS=10 scripts/test.sh
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}

scripts/install-deps.sh all || exit 1

passed=0
failed=0
failures=()

# count_ctest LOG: add the totals of a ctest run to the summary.
count_ctest() {
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1)); failures+=("$2: no test ran"); return
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
  [ "$bad" -eq 0 ] || failures+=("$2: $bad failed")
}

suite() {   # suite NAME PRESET [ctest args...]
  local name=$1 preset=$2; shift 2
  local log="build/$name-ctest.log"
  echo "=== $name: build"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; }; then
    failed=$((failed + 1)); failures+=("$name: build failed"); return
  fi
  echo "=== $name: test"
  ctest --preset "$preset" -j "$jobs" "$@" 2>&1 | tee "$log"
  count_ctest "$log" "$name"
}

mkdir -p build
suite linux linux
suite linux-asan linux-asan

. scripts/wine-env.sh
wine_start
suite windows windows --timeout 600

# The Windows program end to end under Wine: notepad, Quillet.exe, typing.
echo "=== windows: smoke test"
if [ -x build/windows/bin/Quillet.exe ] && [ -x build/windows/bin/qlsmoke.exe ]; then
  # To a file first: a pipe would wait for every Wine process that
  # inherited it.
  tests/wine/smoke.sh build/windows >build/windows-smoke.log 2>&1 </dev/null
  cat build/windows-smoke.log
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' build/windows-smoke.log | tail -n 1)
  if [ -n "$line" ]; then
    smoke_passed=${line%% passed*}
    smoke_failed=$(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$line")
    passed=$((passed + smoke_passed)); failed=$((failed + smoke_failed))
    [ "$smoke_failed" -eq 0 ] || failures+=("windows smoke: $smoke_failed failed")
  else
    failed=$((failed + 1)); failures+=("windows smoke: did not finish")
  fi
else
  failed=$((failed + 1)); failures+=("windows smoke: Quillet.exe or qlsmoke.exe not built")
fi
wine_stop

echo "=== fuzz: ${fuzz_seconds}s per target"
if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$jobs"; then
  for fuzzer in build/fuzz/bin/*_fuzz; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="build/fuzz/corpus-$name"
    mkdir -p "$corpus"
    cp -f fuzz/corpus/"${name%_fuzz}"/* "$corpus"/ 2>/dev/null || true
    if "$fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=0 \
         "$corpus" >"build/$name.log" 2>&1; then
      passed=$((passed + 1)); echo "$name: no finding"
    else
      failed=$((failed + 1)); failures+=("$name: finding, see build/$name.log")
      tail -n 40 "build/$name.log"
    fi
  done
else
  failed=$((failed + 1)); failures+=("fuzz: build failed")
fi

for f in "${failures[@]}"; do echo "FAILED: $f"; done
scripts/test-ratio.sh || true
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
