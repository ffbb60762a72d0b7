#!/usr/bin/env bash
# The deep checks, run by .ci/run after ./test (and by hand):
#  1. the whole test suite built with AddressSanitizer and
#     UndefinedBehaviorSanitizer (clang, build-asan/) and run clean;
#  2. libFuzzer on the record file (any prior content, then appends that must
#     read back) and on typed answers (first field, name check, menu number);
#  3. kill -9 trials of a child appending records through the game's append.
# FUZZ_SECONDS (default 60 each) and KILL_TRIALS (default 200) make a longer
# run by hand, e.g. FUZZ_SECONDS=3600 KILL_TRIALS=5000 tools/deep_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

fuzz_seconds=${FUZZ_SECONDS:-60}
kill_trials=${KILL_TRIALS:-200}
jobs=$(nproc)

tools/install_deps.sh --checks

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch

# Halt at the first sanitizer report of either kind; the leak check ignores
# only fontconfig's process-wide cache (tools/lsan.supp).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0

started() { step_start=$(date +%s); echo "== $1"; }
finished() { echo "== $1: $(( $(date +%s) - step_start )) s"; }

# -- 1. Sanitizer build and the whole suite --
started "sanitizer build (build-asan/)"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Sanitize \
  -DGYROVESSEL_DEEP_CHECKS=ON \
  -DCMAKE_CXX_FLAGS="-O1 -g $sanitize -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build build-asan -j"$jobs"
finished "sanitizer build"

started "test suite under ASan + UBSan"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
finished "test suite under ASan + UBSan"

# -- 2. Fuzzing --
# New inputs go to a scratch corpus; the seeds in tests/fuzz/corpus/ stay as
# committed. A finding stops the run and leaves its input in the log.
for harness in record_append_fuzz typed_answer_fuzz; do
  started "fuzzing $harness for ${fuzz_seconds} s"
  mkdir -p "$scratch/corpus-$harness" "$scratch/finds-$harness"
  seeds=()
  if [ -d "$root/tests/fuzz/corpus/$harness" ]; then seeds=("$root/tests/fuzz/corpus/$harness"); fi
  if ! build-asan/"$harness" -max_total_time="$fuzz_seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$scratch/finds-$harness/" -print_final_stats=1 \
      "$scratch/corpus-$harness" "${seeds[@]}" >"$scratch/$harness.log" 2>&1; then
    tail -n 40 "$scratch/$harness.log"
    for find in "$scratch/finds-$harness"/*; do
      [ -e "$find" ] || continue
      echo "failing input $(basename "$find") (bytes):"
      od -A d -c "$find" | head -n 40
    done
    exit 1
  fi
  grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|Done )" "$scratch/$harness.log" || true
  echo "corpus: $(ls "$scratch/corpus-$harness" | wc -l) new inputs"
  finished "fuzzing $harness"
done

# -- 3. kill -9 trials --
started "kill -9 trials"
build-asan/append_kill_trials "$kill_trials"
finished "kill -9 trials"

echo "deep checks: all passed"
