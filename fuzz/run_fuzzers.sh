#!/bin/bash
# Builds the libFuzzer programs with clang in build-fuzz and runs each one for a
# bounded time on a copy of its seed corpus (fuzz/corpus/<name>/ for the program
# <name>_fuzz). Fails on any crash, leak, sanitizer report, broken property,
# out-of-memory or time-out. Usage: fuzz/run_fuzzers.sh [seconds per program]
# (default 60). Findings are kept in build-fuzz/findings/<name>/.
set -u

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
jobs=${JOBS:-2}

# Longest input each program is given, in bytes: enough for every shape of
# input, small enough that no single run is slow.
declare -A max_len=([bitmap]=4096 [descriptors]=1024 [dialogue]=512)

mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUARVEL_FUZZ=ON -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; echo "fuzz: configuration failed" >&2; exit 1; }

programs=()
for source in "$root"/fuzz/*_fuzz.cpp; do
  programs+=("$(basename "$source" .cpp)")
done
cmake --build "$build" -j "$jobs" --target "${programs[@]}" || { echo "fuzz: build failed" >&2; exit 1; }

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
for program in "${programs[@]}"; do
  name=${program%_fuzz}
  work=$(mktemp -d)
  mkdir -p "$work/corpus" "$build/findings/$name"
  cp -R "$root/fuzz/corpus/$name/." "$work/corpus/" 2>/dev/null
  log="$build/findings/$name/run.log"
  "$build/fuzz/$program" "$work/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=512 -max_len="${max_len[$name]:-1024}" -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name/" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -ne 0 ] || grep -q -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|property broken' "$log"; then
    echo "fuzz: $name FAILED after ${runs:-?} runs (status $status); log and input in $build/findings/$name/" >&2
    grep -E -A 30 'ERROR:|runtime error:|property broken' "$log" | head -n 60 >&2
    failed=1
  else
    echo "fuzz: $name ok, ${runs:-?} runs in ${seconds} s without a finding"
  fi
  rm -rf "$work"
done
exit $failed
