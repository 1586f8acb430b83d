#!/usr/bin/env bash
# Builds the fuzzers with clang and libFuzzer into build-fuzz/ and runs each for a bounded
# time over its corpus in fuzz/corpus/<name>/; fails when one finds a crash, a leak or a
# broken property. New inputs found while running go to build-fuzz/found/<name>/, not into
# the repository's corpus.
# Usage: scripts/fuzz.sh [seconds per fuzzer, default 30] [fuzzer names...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
[ $# -gt 0 ] && shift
fuzzers=("$@")
[ ${#fuzzers[@]} -eq 0 ] && fuzzers=(fuzz_frames fuzz_variants fuzz_conditions fuzz_simplesql fuzz_ini fuzz_language fuzz_dataset_file)

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "Installing clang and libFuzzer"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${fuzzers[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for name in "${fuzzers[@]}"; do
  found="build-fuzz/found/$name"
  mkdir -p "$found"
  echo "== $name: ${seconds} s"
  if ! (cd build-fuzz && "./$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "found/$name" "../fuzz/corpus/$name" 2>"found/$name.log"); then
    tail -n 40 "build-fuzz/found/$name.log"
    failed+=("$name")
  else
    grep -E "^(stat::number_of_executed_units|stat::new_units_added)" "build-fuzz/found/$name.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzers that failed: ${failed[*]} (the input is in build-fuzz/, named crash-* or leak-*)" >&2
  exit 1
fi
echo "every fuzzer ran ${seconds} s without a failure"
