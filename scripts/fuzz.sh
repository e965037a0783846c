#!/usr/bin/env bash
# Builds the fuzz targets (libFuzzer, clang, AddressSanitizer + UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for a bounded time on seeds from the shared test pictures. Fails on
# any crash, sanitizer report, leak, or an input that takes longer than 10 s.
#   scripts/fuzz.sh [seconds per target]     (default 15; four targets)
# A failing input is kept as build-fuzz/artifacts/<target>-crash-… (or leak-, timeout-, oom-);
# replay it with: build-fuzz/fuzz_<target> build-fuzz/artifacts/<file>
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-15}"

testdata="${KESTREL_TESTDATA:-}"
if [ -z "$testdata" ]; then
  for candidate in ../shared/testdata /work/shared/testdata; do
    if [ -d "$candidate/exif" ]; then testdata="$candidate"; break; fi
  done
fi
if [ ! -d "$testdata/exif" ]; then
  echo "fuzz.sh: shared test pictures not found; set KESTREL_TESTDATA" >&2
  exit 1
fi

CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz -j2
mkdir -p build-fuzz/artifacts

# seed TARGET BYTES FIND-ARGS…: the first BYTES of each file found, named by content.
seed() {
  local target=$1 keep=$2
  shift 2
  local corpus="build-fuzz/corpus/$target" f sum
  mkdir -p "$corpus"
  while IFS= read -r -d '' f; do
    sum=$(head -c "$keep" "$f" | sha1sum | cut -c1-16)
    [ -e "$corpus/seed-$sum" ] || head -c "$keep" "$f" > "$corpus/seed-$sum"
  done < <(find "$@" -type f -print0)
}

seed exif 70000 "$testdata/exif" -iname '*.jp*g'
seed jpeg 70000 "$testdata/jpeg" -iname '*.jpg'
seed gif 70000 "$testdata/gif" -iname '*.gif'
seed bmp 70000 "$testdata/bmp/g" "$testdata/bmp/q" "$testdata/bmp/b" -iname '*.bmp'

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=()
for target in exif jpeg gif bmp; do
  log="build-fuzz/$target.log"
  if "build-fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=70000 \
      -artifact_prefix="build-fuzz/artifacts/$target-" -print_final_stats=1 "build-fuzz/corpus/$target" \
      > "$log" 2>&1; then
    echo "fuzz_$target: $(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$') inputs in ${seconds} s, no failure"
  else
    tail -n 60 "$log"
    echo "fuzz_$target FAILED (log: $log)" >&2
    failed+=("$target")
  fi
done
[ ${#failed[@]} -eq 0 ]
