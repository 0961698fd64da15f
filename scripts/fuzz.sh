#!/usr/bin/env bash
# Builds the network fuzzers with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for the given number
# of seconds (default 60), starting from the inputs in fuzz/corpus/net.
#
#   scripts/fuzz.sh [seconds]
#
# New inputs the fuzzers find are kept in build-fuzz/corpus/<target> (the
# checked-in corpus is only read). A crash, a leak or a hang stops the run
# with a non-zero exit and writes the input to build-fuzz/artifacts/; run the
# target on that file to see it again (see fuzz/README.md).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case "$seconds" in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [seconds]" >&2; exit 2 ;;
esac

scripts/install-deps.sh --fuzz

jobs=${JOBS:-2}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKARSK_BUILD_FUZZ=ON -DKARSK_BUILD_TESTS=OFF -DKARSK_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_net_host fuzz_net_client

mkdir -p build-fuzz/artifacts
failed=()
for target in fuzz_net_host fuzz_net_client; do
  echo "== $target for $seconds s"
  mkdir -p "build-fuzz/corpus/$target"
  if ! build-fuzz/fuzz/"$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
    "build-fuzz/corpus/$target" fuzz/corpus/net; then
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found a problem in: ${failed[*]} (inputs in build-fuzz/artifacts/)" >&2
  exit 1
fi
