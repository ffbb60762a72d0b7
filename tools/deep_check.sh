#!/usr/bin/env bash
# The deep checks, run by .ci/run after ./test (and by hand):
#  1. the whole test suite, end-to-end runs included, built with
#     AddressSanitizer and UndefinedBehaviorSanitizer (clang, build-asan/);
#  2. libFuzzer on the record file (any prior content, then appends that must
#     read back exactly) and on typed answers (first field, name check, menu
#     number);
#  3. kill -9 trials of a child appending records through the game's append.
# Every part runs even when an earlier one failed; the script fails if any did.
# FUZZ_SECONDS (default 60 per harness) and KILL_TRIALS (default 1000) make a
# longer run by hand, e.g. FUZZ_SECONDS=3600 KILL_TRIALS=5000 tools/deep_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

fuzz_seconds=${FUZZ_SECONDS:-60}
kill_trials=${KILL_TRIALS:-1000}
jobs=$(nproc)
failures=()

tools/install_deps.sh checks

scratch=$(mktemp -d)
# The fuzzers append and flush player files thousands of times a second: they
# work in memory (/dev/shm) where there is one, since what they check is what
# the file holds, not that it reaches the disk. The kill -9 trials write to
# the disk.
fuzz_scratch=$scratch
if [ -d /dev/shm ] && [ -w /dev/shm ]; then fuzz_scratch=$(mktemp -d /dev/shm/gyrovessel-fuzz.XXXXXX); fi
trap 'rm -rf "$scratch" "$fuzz_scratch"' EXIT

# Stop at the first report of either sanitizer. The leak check ignores only
# fontconfig's process-wide cache (tools/lsan.supp), and says nothing of it, so
# that a test of what the game prints sees only the game's own lines.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0

step_start=0
started() { step_start=$(date +%s); echo "== $1"; }
finished() { echo "== $1: $(($(date +%s) - step_start)) s"; }

# -- 1. Sanitizer build and the whole suite --
started "sanitizer build (build-asan/)"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# fuzzer-no-link gives the game's code the coverage the fuzzers steer by; the
# test programs run with it unchanged.
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Sanitize \
  -DGYROVESSEL_DEEP_CHECKS=ON \
  -DCMAKE_CXX_FLAGS="-O1 -g $sanitize -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build build-asan -j"$jobs" >"$scratch/build.log" 2>&1 || { tail -n 60 "$scratch/build.log"; exit 1; }
finished "sanitizer build"

started "test suite under ASan + UBSan"
# SDL opens a D-Bus connection at start-up and never closes it (its libdbus
# read buffer is still held at exit); the game needs no bus, so the real
# binary runs without one here rather than having a leak suppressed.
if ! DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"; then
  failures+=("test suite under ASan + UBSan")
fi
finished "test suite under ASan + UBSan"

# -- 2. Fuzzing --
# New inputs go to a scratch corpus; the seeds in tests/fuzz/corpus/ stay as
# committed. The harnesses change the working directory, so every path given
# to them is absolute. A finding is printed byte by byte.
for harness in record_append_fuzz typed_answer_fuzz; do
  started "fuzzing $harness for ${fuzz_seconds} s"
  mkdir -p "$scratch/corpus-$harness" "$scratch/finds-$harness"
  if TMPDIR=$fuzz_scratch "$root/build-asan/$harness" -max_total_time="$fuzz_seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$scratch/finds-$harness/" -print_final_stats=1 \
      "$scratch/corpus-$harness" "$root/tests/fuzz/corpus/$harness" >"$scratch/$harness.log" 2>&1; then
    grep -E "^(Done |stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)" "$scratch/$harness.log" || true
    echo "corpus: $(find "$scratch/corpus-$harness" -type f | wc -l) inputs found, $(find "$root/tests/fuzz/corpus/$harness" -type f | wc -l) seeds"
  else
    grep -E "BROKEN|ERROR|SUMMARY" "$scratch/$harness.log" | head -n 20
    runs=$(grep -oE '^#[0-9]+' "$scratch/$harness.log" | tail -n 1 || true)
    echo "runs before the finding: ${runs:-none past the seed inputs}"
    for find in "$scratch/finds-$harness"/*; do
      [ -e "$find" ] || continue
      echo "failing input $(basename "$find"), $(stat -c %s "$find") bytes:"
      od -A d -t x1 -c "$find" | head -n 60
    done
    failures+=("fuzzing $harness")
  fi
  finished "fuzzing $harness"
done

# -- 3. kill -9 trials --
started "kill -9 trials"
TMPDIR=$scratch "$root/build-asan/append_kill_trials" "$kill_trials" || failures+=("kill -9 trials")
finished "kill -9 trials"

if [ ${#failures[@]} -gt 0 ]; then
  printf 'deep checks FAILED: %s\n' "$(IFS=';'; echo "${failures[*]}")"
  exit 1
fi
echo "deep checks: all passed"
