#!/usr/bin/env bash
# Misbehaving players against a real host over 127.0.0.1: starts a headless
# host on the real clock on a free port, runs every scenario of
# karsk-netfault (never logs in, wrong password, a byte a second, a 1 GB
# frame, random bytes, a vanished player, 20 reconnections...) and prints a
# table: the host's longest frame during each, whether its log said what
# happened, and whether a well-behaved player got in afterwards. Last, a real
# joining copy of the game must get in too, and the host must exit cleanly.
#
#   scripts/netfaults.sh [build-dir]      (default: build; it must be configured)
#
# MAX_FRAME_MS (default 50) is the longest frame allowed during a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/hosting.sh

dir=${1:-build}
jobs=${JOBS:-2}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cmake --build "$dir" -j"$jobs" --target karsk karsk-netfault >/dev/null
game=$dir/karsk
tool=$dir/tools/karsk-netfault

work=$(mktemp -d)
host=
cleanup() {
  if [ -n "$host" ]; then kill "$host" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The kernel's pick of a free port; another if the host cannot take it.
listening=no
for attempt in 1 2 3; do
  port=$("$tool" --free-port)
  rm -f "$work/host.log"
  "$game" --headless --real-time --host --port "$port" --name host --seed 7 \
    --log "$work/host.log" --frame-log "$work/frames.log" 2>/dev/null &
  host=$!
  if wait_until_hosting "$work/host.log" "$host" 300; then
    listening=yes
    break
  fi
  kill "$host" 2>/dev/null || true
  wait "$host" 2>/dev/null || true
  host=
done
if [ "$listening" != yes ]; then
  echo "netfaults: the host never listened"
  exit 1
fi

status=0
"$tool" --port "$port" --frame-log "$work/frames.log" --log "$work/host.log" --host-pid "$host" \
  --max-frame-ms "${MAX_FRAME_MS:-50}" || status=1

# A real joining copy of the game, after all of that.
"$game" --headless --real-time --frames 120 --connect 127.0.0.1 --port "$port" --name real-player \
  --log "$work/client.log" 2>/dev/null || true
if grep -q "real-player joined" "$work/host.log" && grep -q "joined host" "$work/client.log"; then
  echo "a real joining copy of the game got in"
else
  echo "FAILED: a real joining copy of the game did not get in"
  status=1
fi

# The host ends as on a window close; a sanitized build fails here on any error.
if kill -0 "$host" 2>/dev/null; then
  kill -TERM "$host"
  code=0
  wait "$host" || code=$?
  host=
  if [ "$code" -ne 0 ]; then
    echo "FAILED: the host exited with status $code"
    status=1
  else
    echo "the host exited cleanly"
  fi
else
  echo "FAILED: the host is gone"
  status=1
fi
if [ "$status" -ne 0 ]; then
  echo "--- the host's log, last lines ---"
  tail -n 30 "$work/host.log"
fi
exit $status
