#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for the given number
# of seconds (default 60): the network receive path as host and as joining
# player, and every file the game reads (see fuzz/README.md).
#
#   scripts/fuzz.sh [seconds] [target...]
#
# Seeds come from fuzz/corpus/<input>, plus the full-size shipped world (its
# source and the compiled map), which is made here rather than checked in. New
# inputs the fuzzers find are kept in build-fuzz/corpus/<target> (the
# checked-in corpus is only read). A crash, a leak or a hang stops that target
# with a non-zero exit and writes the input to build-fuzz/artifacts/; run the
# target on that file to see it again (see fuzz/README.md).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case "$seconds" in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [seconds] [target...]" >&2; exit 2 ;;
esac
shift || true

# target:checked-in corpus:longest input
all=(
  fuzz_net_host:net:8192
  fuzz_net_client:net:8192
  fuzz_map:map:276000
  fuzz_sprite_def:sprite_def:4096
  fuzz_key_script:key_script:4096
  fuzz_config:config:4096
  fuzz_wav:wav:65536
  fuzz_mp3:mp3:65536
  fuzz_world_source:world_source:400000
)
chosen=()
for entry in "${all[@]}"; do
  name=${entry%%:*}
  if [ $# -eq 0 ] || [[ " $* " == *" $name "* ]]; then chosen+=("$entry"); fi
done
if [ ${#chosen[@]} -eq 0 ]; then
  echo "scripts/fuzz.sh: no such target: $*" >&2
  exit 2
fi

scripts/install-deps.sh --fuzz

jobs=${JOBS:-2}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKARSK_BUILD_FUZZ=ON -DKARSK_BUILD_TESTS=OFF -DKARSK_BUILD_BENCH=OFF >/dev/null
targets=()
for entry in "${chosen[@]}"; do targets+=("${entry%%:*}"); done
cmake --build build-fuzz -j"$jobs" --target "${targets[@]}" karsk-mkworld

# The shipped world, too big to keep in the corpus: its source and the map
# the compiler makes of it.
seeds=build-fuzz/seeds
mkdir -p "$seeds/fuzz_map" "$seeds/fuzz_world_source"
cp data/world/overworld1.json "$seeds/fuzz_world_source/"
if [ ! -s "$seeds/fuzz_map/overworld1.kmap" ] || [ data/world/overworld1.json -nt "$seeds/fuzz_map/overworld1.kmap" ]; then
  (cd build-fuzz && ASAN_OPTIONS=detect_leaks=0 tools/karsk-mkworld compile \
    ../data/world/overworld1.json seeds/fuzz_map/overworld1.kmap)
fi

# A regression input too big for the corpus: a start screen whose record
# asks for 127 red Krillops (a screen takes at most 84).
flood=$seeds/fuzz_map/regress-spawn-flood.kmap
if [ ! -s "$flood" ]; then
  head -c 275968 /dev/zero >"$flood"
  printf '\177\177' | dd of="$flood" bs=1 seek=$((168960 + (7 * 16 + 7) * 176 + 9)) conv=notrunc status=none
fi

# Sound files and the SDL loaders behind them need no display or device.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
mkdir -p build-fuzz/artifacts
failed=()
for entry in "${chosen[@]}"; do
  IFS=: read -r target corpus maxlen <<<"$entry"
  echo "== $target for $seconds s"
  mkdir -p "build-fuzz/corpus/$target" "$seeds/$target"
  if ! build-fuzz/fuzz/"$target" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
    "build-fuzz/corpus/$target" "fuzz/corpus/$corpus" "$seeds/$target"; then
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found a problem in: ${failed[*]} (inputs in build-fuzz/artifacts/)" >&2
  exit 1
fi
