#!/usr/bin/env bash
# Builds every fuzz/fuzz_*.cpp as a libFuzzer target (clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, core libraries instrumented alike) in
# build-fuzz/, then runs each for ${FUZZ_SECONDS:-60} seconds on inputs of up
# to 1 MiB; a target that takes more than 256 MiB of memory fails. Then the
# parallel text import runs once under ThreadSanitizer (build-tsan/).
#   fuzz/run.sh                 all targets, then the ThreadSanitizer run
#   fuzz/run.sh fuzz_expr ...   only these (tsan_import: the ThreadSanitizer run)
# Seeds come from fuzz/seeds/<target>/; the growing corpus stays in
# build-fuzz/corpus/<target>/ and findings in build-fuzz/findings/.
# Set ZORV_BUILD_LOCK to a lock file to serialise the build with other builds.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-60}"

locked() {
  if [ -n "${ZORV_BUILD_LOCK:-}" ]; then flock "$ZORV_BUILD_LOCK" "$@"; else "$@"; fi
}

targets=()
tsan=0
if [ $# -gt 0 ]; then
  for t in "$@"; do
    if [ "$t" = tsan_import ]; then tsan=1; else targets+=("$t"); fi
  done
else
  tsan=1
  for f in fuzz/fuzz_*.cpp; do
    [ -e "$f" ] && targets+=("$(basename "$f" .cpp)")
  done
fi

status=0
if [ ${#targets[@]} -gt 0 ]; then
  flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
  flags="$flags -fno-omit-frame-pointer -g -O1"
  locked cmake -S . -B "$build" -DZORV_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  locked cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  export QT_QPA_PLATFORM=offscreen
  mkdir -p "$build/findings"
  for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/seeds/$t" ] && seeds=("fuzz/seeds/$t")
    echo "== $t: ${seconds} s"
    if "$build/fuzz/$t" -max_total_time="$seconds" -timeout=20 -max_len=1048576 \
        -rss_limit_mb=256 -malloc_limit_mb=256 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$t-" \
        "$corpus" "${seeds[@]}" >"$build/$t.log" 2>&1; then
      grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$build/$t.log" | tr '\n' ' '
      echo "-> clean"
    else
      status=1
      tail -40 "$build/$t.log"
      echo "-> FINDING (see $build/findings/ and $build/$t.log)"
    fi
  done
fi

if [ $tsan = 1 ]; then
  tbuild="$root/build-tsan"
  tflags="-fsanitize=thread -fno-omit-frame-pointer -g -O1"
  locked cmake -S . -B "$tbuild" -DZORV_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_C_FLAGS="$tflags" -DCMAKE_CXX_FLAGS="$tflags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
  locked cmake --build "$tbuild" -j"$(nproc)" --target tsan_import
  echo "== tsan_import: the parallel text import under ThreadSanitizer"
  if TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}" \
      "$tbuild/fuzz/tsan_import" >"$tbuild/tsan_import.log" 2>&1; then
    tail -1 "$tbuild/tsan_import.log"
    echo "-> clean"
  else
    status=1
    tail -60 "$tbuild/tsan_import.log"
    echo "-> FINDING (see $tbuild/tsan_import.log)"
  fi
fi
exit $status
