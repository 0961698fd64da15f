#!/usr/bin/env bash
# Builds the game with the tracking allocator and plays two short games
# headless, one alone and one as a host with a joining copy over the loopback
# interface; every copy's memleaks.log must say that nothing leaked, and no
# copy may have written errors to memory.log.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/hosting.sh

jobs=${JOBS:-2}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

cmake -S . -B build-tracked -DCMAKE_BUILD_TYPE=Debug -DKARSK_MEMORY_TRACKER=ON \
  -DKARSK_BUILD_TESTS=OFF -DKARSK_BUILD_BENCH=OFF
cmake --build build-tracked -j"$jobs" --target karsk
game=build-tracked/karsk
keys=tests/app/two-players

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/alone" "$work/host" "$work/client"

"$game" --headless --frames 1500 --seed 57 --input-script "$keys/client-strikes-krillop.keys" \
  --log "$work/alone/karsk.log"

# A port nobody uses: a random one, another if the host cannot take it. The
# joining copy starts once the host says it is listening.
listening=no
for attempt in 1 2 3 4 5; do
  port=$(shuf -i 20000-60000 -n 1)
  rm -f "$work/host/karsk.log"
  "$game" --headless --real-time --frames 900 --seed 1 --host --port "$port" --name Ada \
    --input-script "$keys/host-unlocks-crypt.keys" --log "$work/host/karsk.log" &
  host=$!
  if wait_until_hosting "$work/host/karsk.log" "$host"; then
    listening=yes
    break
  fi
  kill "$host" 2>/dev/null || true
  wait "$host" || true
done
if [ "$listening" != yes ]; then
  echo "the host never listened"
  exit 1
fi
"$game" --headless --real-time --frames 600 --seed 2 --connect 127.0.0.1 --port "$port" --name Ben \
  --input-script "$keys/client-strikes-krillop.keys" --log "$work/client/karsk.log"
wait "$host"
grep -q "Ben joined" "$work/host/karsk.log" || { echo "the joining copy never got in"; exit 1; }

status=0
for copy in alone host client; do
  # The tracker writes memory.log only for errors: overruns, mismatched
  # deletes, blocks never handed out.
  if [ -s "$work/$copy/memory.log" ]; then
    echo "$copy: the tracker found errors:"
    cat "$work/$copy/memory.log"
    status=1
  fi
  if grep -q "No memory leaks found" "$work/$copy/memleaks.log"; then
    echo "$copy: no leaks"
  else
    echo "$copy: the tracker reports leaks:"
    cat "$work/$copy/memleaks.log" 2>/dev/null || echo "(no memleaks.log)"
    status=1
  fi
done
exit $status
