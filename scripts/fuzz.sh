#!/usr/bin/env bash
# Runs the libFuzzer targets built in build-fuzz/, one after the other, each
# for FUZZ_SECONDS from its kept corpus. New inputs gather in
# build-fuzz/found/<name>/; with FUZZ_KEEP=1 the kept corpus is then merged
# afresh (the smallest set of inputs that reaches the same code). The first
# target that reports stops the run; its input is in fuzz/crashes/.
#   scripts/fuzz.sh [TARGET...]      targets by name without "fuzz_"; all by default
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
bin=build-fuzz/fuzz

# Inputs longer than this are never tried; the readers of whole pictures and
# many-shape files get room for them.
max_len() {
  case $1 in
    shape_file) echo 200000 ;;
    pcx|collage) echo 65536 ;;
    picture|clipboard|sheet|recovery) echo 32768 ;;
    *) echo 4096 ;;
  esac
}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$bin"/fuzz_*; do targets+=("$(basename "$t" | sed 's/^fuzz_//')"); done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p fuzz/crashes
for t in "${targets[@]}"; do
  corpus=fuzz/corpus/$t
  found=build-fuzz/found/$t
  dict=fuzz/dict/$t.dict
  mkdir -p "$found"
  [ -d "$corpus" ] || { echo "fuzz: no corpus for $t in $corpus" >&2; exit 2; }
  args=(-max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=10 -rss_limit_mb=2048
        -artifact_prefix=fuzz/crashes/"$t"- -print_final_stats=1)
  [ -f "$dict" ] && args+=(-dict="$dict")
  echo "== $t: $seconds s"
  "$bin/fuzz_$t" "${args[@]}" "$found" "$corpus"
  if [ "${FUZZ_KEEP:-}" = 1 ]; then
    fresh=build-fuzz/merged/$t
    rm -rf "$fresh" && mkdir -p "$fresh"
    "$bin/fuzz_$t" -merge=1 -max_len="$(max_len "$t")" "$fresh" "$corpus" "$found"
    rm -f "$corpus"/* && cp "$fresh"/* "$corpus"/
    echo "== $t: kept corpus now $(ls "$corpus" | wc -l) inputs"
  fi
done
