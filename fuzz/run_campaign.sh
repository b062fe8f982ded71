#!/usr/bin/env bash
# Runs a fuzzing campaign: fuzz/run_campaign.sh TARGET|all SECONDS [BUILD_DIR]
# Each target runs at low priority for SECONDS with its seed corpus; new inputs go to a work folder
# (build-fuzz/campaign/TARGET) and crashes to build-fuzz/campaign/TARGET/crashes. The build folder is
# configured with clang and -DPICTOREL_FUZZ=ON when it is missing (the sanitizer build also has the
# targets: pass build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: fuzz/run_campaign.sh TARGET|all SECONDS [BUILD_DIR]}
seconds=${2:?usage: fuzz/run_campaign.sh TARGET|all SECONDS [BUILD_DIR]}
build=${3:-build-fuzz}

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPICTOREL_FUZZ=ON -DPICTOREL_TESTS=OFF -DPICTOREL_BENCH=OFF >/dev/null
fi

if [ "$target" = all ]; then
  targets=$(ls fuzz/corpus)
else
  targets=$target
fi

for t in $targets; do
  cmake --build "$build" --target "fuzz_$t" >/dev/null
  work="$build/campaign/$t"
  mkdir -p "$work/crashes"
  echo "== $t: $seconds s"
  # Options: short inputs keep runs fast, a memory cap turns a bomb into a finding; the time-out is
  # generous because a run at the lowest priority on a busy machine waits long for the processor.
  nice -n 19 "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -timeout=60 -print_final_stats=1 -artifact_prefix="$work/crashes/" "$work" "fuzz/corpus/$t" 2>&1 |
    grep -E "^(stat::|==[0-9]+==|SUMMARY|Done|.*property failed)" || true
  # crash-, leak-, oom- and timeout- files are findings; slow-unit- files only mark inputs that took
  # over ten seconds, which at the lowest priority on a busy machine may be waiting alone.
  found=$(find "$work/crashes" -type f ! -name 'slow-unit-*' | wc -l)
  slow=$(find "$work/crashes" -type f -name 'slow-unit-*' | wc -l)
  echo "== $t: $found finding(s), $slow slow input(s) in $work/crashes"
done
