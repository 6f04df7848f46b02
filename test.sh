#!/usr/bin/env bash
# Builds everything and runs every test: the formatting check of every tracked C and C++ file,
# the normal build (all modules), then the modules without Qt under AddressSanitizer +
# UndefinedBehaviorSanitizer, then the threaded modules under ThreadSanitizer. Exits non-zero on
# any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-deps

jobs=$(nproc)
passed=0
failed=0

# A virtual display for the tests of visible windows; tests of other depths start their own.
xvfb_pid=
cleanup() { [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [[ -z ${DISPLAY:-} ]] && command -v Xvfb >/dev/null; then
  displayfile=$(mktemp)
  # -noreset: a server that resets when its last client leaves refuses the next one for a while.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$displayfile" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 50); do [[ -s $displayfile ]] && break; sleep 0.1; done
  export DISPLAY=":$(head -n 1 "$displayfile")"
  rm -f "$displayfile"
fi

# run_stage NAME BUILD_DIR [CTEST_ARGS...] -- CMAKE_ARGS...
run_stage() {
  local name=$1 dir=$2
  shift 2
  local ctest_args=()
  while [[ $# -gt 0 && $1 != -- ]]; do ctest_args+=("$1"); shift; done
  [[ ${1:-} == -- ]] && shift
  echo "== $name"
  cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  local log
  log=$(mktemp)
  local rc=0
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" "${ctest_args[@]}" | tee "$log" || rc=$?
  local line total fails
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [[ -n $line ]]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    fails=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
  fi
  rm -f "$log"
  [[ $rc -eq 0 ]] || failed=$((failed + (fails == 0 ? 1 : 0)))
}

echo "== formatting"
if scripts/check-format; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

run_stage "build and test" build
run_stage "AddressSanitizer + UndefinedBehaviorSanitizer (modules without Qt)" build-asan -- \
  -DKINVO_SANITIZE=address -DKINVO_WITH_QT=OFF -DKINVO_BENCH=OFF
run_stage "ThreadSanitizer (threaded modules)" build-tsan -L threads -- \
  -DKINVO_SANITIZE=thread -DKINVO_WITH_QT=OFF -DKINVO_BENCH=OFF

echo "Total: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
