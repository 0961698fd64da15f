#!/usr/bin/env bash
# Takes the screenshots in docs/screenshots/ from the real game, headless:
# each one replays a key script from that folder (docs/input-script.md) and
# is converted to PNG by karsk-topng; karsk-dialog-shot draws the start-up
# dialog. Set BUILD_DIR to use another build folder (default build) and JOBS
# for the number of build jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target karsk karsk-topng karsk-dialog-shot

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=docs/screenshots

# shot <picture> <key script> <frames> [karsk-topng options]
shot() {
  local name=$1 keys=$2 frames=$3
  shift 3
  if ! "$build/karsk" --headless --seed 1 --frames "$frames" --input-script "$out/$keys.keys" --log - \
    --screenshot "$work/$name.bmp" >"$work/$name.log" 2>&1; then
    cat "$work/$name.log" >&2
    exit 1
  fi
  "$build/tools/karsk-topng" "$work/$name.bmp" "$out/$name.png" "$@"
  echo "$out/$name.png"
}

shot start start 42
shot hud start 42 --crop 0,0,512,128 --scale 2
shot ruins dungeon 745
# The room's top-left corner must be a dungeon wall corner, or the walk went astray.
shot dungeon dungeon 960 --expect-tile "$build/data/tiles/map.bmp,0,128,178/194/210"

# The start-up dialog as it opens, and hosting with a name typed.
"$build/karsk-dialog-shot" "$work/dialog-join.bmp" "$work/dialog-host.bmp"
for view in join host; do
  "$build/tools/karsk-topng" "$work/dialog-$view.bmp" "$out/dialog-$view.png"
  echo "$out/dialog-$view.png"
done
