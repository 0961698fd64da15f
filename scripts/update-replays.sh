#!/usr/bin/env bash
# The checked-in recordings (tests/app/replays) and the summaries their
# replays must end in. A change that alters how the game plays changes the
# summaries: regenerate them with this script and commit them with the change,
# after reading the difference it shows.
# Usage: scripts/update-replays.sh [--record] [--build DIR]
#   Without --record, replays every recording and rewrites its summary.
#   With --record, first plays the sessions again from their key scripts and
#   records them anew (the two-player game runs a host and a joining copy over
#   127.0.0.1 on the real clock: about two and a half minutes); needed when a
#   recording no longer replays (the game reports it went out of step). The
#   sessions on the real clock end a little differently each time they are
#   recorded (where the heroes stand, which enemies live), as timing differs.
#   DIR defaults to build; karsk is built in it.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
record=no
while [ $# -gt 0 ]; do
  case "$1" in
    --record) record=yes ;;
    --build) build="$2"; shift ;;
    *) echo "usage: $0 [--record] [--build DIR]" >&2; exit 2 ;;
  esac
  shift
done
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target karsk -j "${JOBS:-2}" >/dev/null
karsk="$(cd "$build" && pwd)/karsk"
dir=tests/app/replays

if [ "$record" = yes ]; then
  # A free port on the loopback interface for the two-player game.
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  "$karsk" --headless --real-time --no-log --seed 1 --frames 8000 --input-script "$dir/walk.keys" \
    --record "$dir/walk.krec"
  "$karsk" --headless --no-log --seed 9 --frames 6600 --input-script "$dir/fight.keys" --record "$dir/fight.krec"
  "$karsk" --headless --real-time --no-log --seed 1 --host --port "$port" --name host --frames 8000 \
    --input-script "$dir/two-players-host.keys" --record "$dir/two-players.krec" &
  host=$!
  sleep 1
  "$karsk" --headless --real-time --no-log --connect 127.0.0.1 --port "$port" --name guest --frames 8060 \
    --input-script "$dir/two-players-client.keys"
  wait "$host"
fi

for recording in "$dir"/*.krec; do
  "$karsk" --replay "$recording" --no-log --summary "${recording%.krec}.summary" 2>/dev/null
done
git --no-pager diff --stat -- "$dir" 2>/dev/null || true
echo "summaries in $dir are up to date; commit them with the change that altered them"
