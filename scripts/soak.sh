#!/usr/bin/env bash
# Two players for a long while: a headless host and a headless joining copy
# play over 127.0.0.1 on the real clock, each steered by karsk-bot (a random
# walk that swings, uses and switches items and takes stairs), then the run
# is judged:
#   - both copies still run and each writes its state (SIGUSR1) within 5 s;
#   - resident memory levels off: VmRSS is sampled every minute (every 10 s in
#     runs under 10 minutes), and from the middle sample to the last it may
#     grow by at most 1 % of the middle sample or 256 KiB, whichever is
#     larger (a game at rest keeps the very same pages: a steady 500 bytes a
#     second is more than that over the second half of a 30-minute run);
#   - the two worlds agree: at every memory sample the enemies of the shared
#     screen (the joining hero's, whose enemies the host streams) exist on
#     both copies with the same uid less than a tile (32 px) apart on each
#     axis; once the bots have stood still for two seconds, both heroes too.
#     A difference seen in three states a second apart is a desync; one that
#     comes and goes is a message in flight and is only shown;
#   - SIGTERM ends both cleanly (exit status 0), and in a build with the
#     memory tracker (or with --tracked, which requires one) both leak
#     reports say "Congratulations! No memory leaks found!" and neither copy
#     wrote memory.log.
# Usage: scripts/soak.sh [--build DIR] [--tracked] [--keep] [minutes]
#   minutes defaults to 30; DIR (default build) is configured if missing and
#   karsk and karsk-bot are built in it. --keep keeps the logs and states.
# Exits 0 when every check passes, 1 otherwise; prints a short summary.
set -euo pipefail
# In braces, the whole script is read before it runs: editing the file cannot
# change a run under way.
{
cd "$(dirname "$0")/.."
. scripts/lib/hosting.sh

build=build
tracked=no
keep=no
minutes=30
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --tracked) tracked=yes; shift ;;
    --keep) keep=yes; shift ;;
    -h|--help) sed -n '2,/^set -e/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; exit 0 ;;
    *)
      if ! [[ "$1" =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ] || [ "$1" -gt 1000 ]; then
        echo "soak: minutes must be a whole number from 1 to 1000, got '$1'" >&2
        exit 2
      fi
      minutes=$1; shift ;;
  esac
done

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if ! output=$(cmake --build "$build" -j"${JOBS:-2}" --target karsk karsk-bot 2>&1); then
  echo "$output" | tail -30
  echo "soak: FAIL: cannot build karsk and karsk-bot in $build"
  exit 1
fi
game=$build/karsk
bot=$build/tools/karsk-bot

work=$(mktemp -d)
host=""
client=""
cleanup() {
  for pid in $client $host; do kill -KILL "$pid" 2>/dev/null || true; done
  if [ "$keep" = yes ]; then echo "soak: files kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
mkdir -p "$work/host" "$work/client"

fps=60
end_frame=$((minutes * 60 * fps))
"$bot" --seed 101 --minutes "$minutes" >"$work/host.keys"
"$bot" --seed 202 --minutes "$minutes" >"$work/client.keys"

failures=()
fail() {
  failures+=("$1")
  echo "soak: FAIL: $1"
}

# The host on a random free port (another if it cannot take it); the joining
# copy once the host listens.
listening=no
for _ in 1 2 3 4 5; do
  port=$(shuf -i 20000-60000 -n 1)
  rm -f "$work/host/karsk.log"
  "$game" --headless --real-time --host --port "$port" --seed 1 --name Host \
    --input-script "$work/host.keys" --log "$work/host/karsk.log" >"$work/host/stdout" 2>&1 &
  host=$!
  if wait_until_hosting "$work/host/karsk.log" "$host"; then
    listening=yes
    break
  fi
  kill "$host" 2>/dev/null || true
  wait "$host" 2>/dev/null || true
done
[ "$listening" = yes ] || { echo "soak: FAIL: the host never listened"; exit 1; }
"$game" --headless --real-time --connect 127.0.0.1 --port "$port" --seed 2 --name Guest \
  --input-script "$work/client.keys" --log "$work/client/karsk.log" >"$work/client/stdout" 2>&1 &
client=$!
joined=no
for _ in $(seq 1 100); do
  if grep -q "Guest joined" "$work/host/karsk.log" && grep -q "joined Host" "$work/client/karsk.log" 2>/dev/null; then
    joined=yes
    break
  fi
  sleep 0.1
done
[ "$joined" = yes ] || { echo "soak: FAIL: the joining copy never got in"; exit 1; }

alive() { kill -0 "$1" 2>/dev/null && [ "$(awk '/^State:/ {print $2}' "/proc/$1/status" 2>/dev/null)" != Z ]; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }
anon_kb() { awk '/^RssAnon:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }

# Asks both copies for their state; false unless both files appear within 5 s.
ask_state() {
  rm -f "$work/host/karsk.state" "$work/client/karsk.state"
  kill -USR1 "$host" "$client" 2>/dev/null || return 1
  for _ in $(seq 1 50); do
    [ -f "$work/host/karsk.state" ] && [ -f "$work/client/karsk.state" ] && return 0
    sleep 0.1
  done
  return 1
}
state_field() { awk -v k="$2" '$1 == k {print $2; exit}' "$1"; }

# Prints one line per difference, "<kind> <uid> <why>", then a last line
# "compared <heroes> <enemies>". The shared screen is the joining hero's: the
# host streams the enemies there (when the heroes stand together, their common
# screen). Enemies of the host's own screen are not streamed while the joining
# hero is elsewhere, so the joining copy's replicas of them are not compared.
# With "moving", hero positions are not compared (they lag by a network tick).
compare_states() {
  awk -v tile=32 -v sw=512 -v sh=352 -v moving="$1" '
    function abs(v) { return v < 0 ? -v : v }
    function screen(px, py) { return int((px + 16) / sw) "," int((py + 16) / sh) }
    FNR == 1 { side++ }
    $1 == "connected" && $2 != 1 { print "session", side == 1 ? "host" : "client", "not connected" }
    $1 == "hero" || $1 == "enemy" {
      key = $1 " " $2
      x[side, key] = $3; y[side, key] = $4; seen[key] = 1
      if (key == "hero 1") shared[screen($3, $4)] = 1
    }
    END {
      heroes = 0; enemies = 0
      for (key in seen) {
        split(key, part, " ")
        if (part[1] == "enemy") {
          onHost = ((1, key) in x) && (screen(x[1, key], y[1, key]) in shared)
          onClient = ((2, key) in x) && (screen(x[2, key], y[2, key]) in shared)
          if (!onHost && !onClient) continue
          enemies++
        } else heroes++
        if (!((1, key) in x)) { print key, "missing on the host"; continue }
        if (!((2, key) in x)) { print key, "missing on the client"; continue }
        if (part[1] == "hero" && moving) continue
        dx = abs(x[1, key] - x[2, key]); dy = abs(y[1, key] - y[2, key])
        if (dx >= tile || dy >= tile)
          printf "%s at %s,%s on the host but %s,%s on the client\n", key, x[1, key], y[1, key], x[2, key], y[2, key]
      }
      if (heroes != 2) print "heroes", heroes, "instead of 2"
      print "compared", heroes, enemies
    }' "$work/host/karsk.state" "$work/client/karsk.state"
}

checks=0
enemies_compared=0
desyncs=0
transients=0
# Compares the two worlds; a difference must last through three states a
# second apart to count as a desync. $1: "still" or "moving"; $2: a label.
# False when a copy stops answering.
check_worlds() {
  local mode=$1 label=$2 persistent="" round
  local moving=""
  [ "$mode" = moving ] && moving=1
  for round in 1 2 3; do
    if [ "$round" -gt 1 ]; then
      sleep 1
      ask_state || return 1
    fi
    if [ -n "$moving" ] && grep -qx $'scrolling\t1' "$work/host/karsk.state" "$work/client/karsk.state"; then
      [ "$round" -eq 1 ] && return 0  # a screen change under way: no shared screen to speak of
    fi
    compare_states "$moving" >"$work/diff.txt"
    if [ "$round" -eq 1 ]; then
      checks=$((checks + 1))
      enemies_compared=$((enemies_compared + $(awk '$1 == "compared" {print $3}' "$work/diff.txt")))
    fi
    awk '$1 != "compared" {print $1, $2}' "$work/diff.txt" | sort -u >"$work/keys.txt"
    awk -v l="$label" -v r="$round" '$1 != "compared" {print "soak: " l ", state " r ": " $0}' "$work/diff.txt" \
      >>"$work/differences.txt"
    if [ "$round" -eq 1 ]; then
      persistent=$(cat "$work/keys.txt")
    else
      persistent=$(comm -12 <(echo "$persistent" | sed '/^$/d') "$work/keys.txt")
    fi
    if [ -z "$persistent" ]; then
      [ "$round" -gt 1 ] && transients=$((transients + 1))
      return 0
    fi
  done
  local n
  n=$(echo "$persistent" | wc -l)
  desyncs=$((desyncs + n))
  cp "$work/host/karsk.state" "$work/host/desync-$checks.state"
  cp "$work/client/karsk.state" "$work/client/desync-$checks.state"
  fail "$label: $n desync(s) in three states a second apart: $(echo "$persistent" | paste -sd ';' -)"
  return 0
}

interval=60
[ "$minutes" -lt 10 ] && interval=10
samples=$((minutes * 60 / interval))
echo "soak: $minutes minutes, host pid $host, client pid $client, port $port, RSS every $interval s"
: >"$work/rss.txt"
: >"$work/differences.txt"
start=$(date +%s)
for i in $(seq 0 "$samples"); do
  target=$((start + i * interval))
  now=$(date +%s)
  [ "$now" -lt "$target" ] && sleep $((target - now))
  if ! alive "$host" || ! alive "$client"; then
    alive "$host" || fail "the host stopped after $(( $(date +%s) - start )) s"
    alive "$client" || fail "the client stopped after $(( $(date +%s) - start )) s"
    break
  fi
  # VmRSS is judged; RssAnon (the heap and stacks without the mapped
  # program and libraries) is shown beside it.
  echo "$((i * interval)) $(rss_kb "$host") $(rss_kb "$client") $(anon_kb "$host") $(anon_kb "$client")" \
    >>"$work/rss.txt"
  # While the bots play: the shared screen's enemies (heroes move too fast
  # to compare before they stand still).
  if [ "$i" -gt 0 ] && [ "$i" -lt "$samples" ]; then
    if ! ask_state; then
      fail "a copy did not write its state within 5 s of SIGUSR1 after $((i * interval)) s"
      break
    fi
    check_worlds moving "after $((i * interval)) s" || { fail "a copy stopped answering SIGUSR1"; break; }
  fi
done

if [ ${#failures[@]} -eq 0 ]; then
  # The bots stop at frame $end_frame; wait until both copies are two seconds
  # past it, with heroes still, before the last comparison.
  settled=no
  deadline=$(( $(date +%s) + 60 + minutes * 30 ))
  while [ "$(date +%s)" -lt "$deadline" ]; do
    if ! ask_state; then
      fail "a copy did not write its state within 5 s of SIGUSR1"
      break
    fi
    hf=$(state_field "$work/host/karsk.state" frame)
    cf=$(state_field "$work/client/karsk.state" frame)
    if [ "$hf" -ge $((end_frame + 2 * fps)) ] && [ "$cf" -ge $((end_frame + 2 * fps)) ]; then
      settled=yes
      break
    fi
    sleep 1
  done
  if [ "$settled" = yes ]; then
    cp "$work/host/karsk.state" "$work/host/final.state"
    cp "$work/client/karsk.state" "$work/client/final.state"
    check_worlds still "at the end" || fail "a copy stopped answering SIGUSR1"
    final_compared=$(awk '$1 == "compared" {print $2 " heroes and " $3 " enemies"}' "$work/diff.txt")
  elif [ ${#failures[@]} -eq 0 ]; then
    fail "the bots did not finish in time (frames: host ${hf:-?}, client ${cf:-?}, last key at $end_frame)"
  fi
fi
sed 's/^/  /' "$work/differences.txt"

# Memory: the second half of the run may grow only a little.
level_check() {
  local column=$1 name=$2
  awk -v c="$column" -v name="$name" '
    { v[NR] = $c; a[NR] = $(c + 2) }
    END {
      if (NR < 3) { print "FAIL " name ": only " NR " RSS samples"; exit }
      mid = v[int((NR + 1) / 2)]; last = v[NR]; growth = last - mid
      bound = int(mid * 0.01); if (bound < 256) bound = 256
      printf "%s %s: RSS %.1f MiB at start, %.1f MiB in the middle, %.1f MiB at the end (second half %+d KiB, bound %d KiB; anonymous %.1f, %.1f, %.1f MiB)\n",
        growth <= bound ? "ok" : "FAIL", name, v[1] / 1024, mid / 1024, last / 1024, growth, bound,
        a[1] / 1024, a[int((NR + 1) / 2)] / 1024, a[NR] / 1024
    }' "$work/rss.txt"
}
host_memory=$(level_check 2 host)
client_memory=$(level_check 3 client)
for line in "$host_memory" "$client_memory"; do
  [[ "$line" == FAIL* ]] && fail "memory does not level off: ${line#FAIL }"
done

# A clean end: SIGTERM reaches the game as a quit request.
grep -q "Connection Dropped" "$work/host/karsk.log" "$work/client/karsk.log" &&
  fail "the session dropped during the run"
for who in client host; do
  pid=${!who}
  if alive "$pid"; then
    kill -TERM "$pid"
    status=0
    for _ in $(seq 1 600); do alive "$pid" || break; sleep 0.1; done
    if alive "$pid"; then
      fail "the $who did not end within 60 s of SIGTERM"
    else
      wait "$pid" || status=$?
      [ "$status" -eq 0 ] || fail "the $who ended with status $status after SIGTERM"
    fi
  fi
  eval "$who="
done

leaks=""
for who in host client; do
  if [ -s "$work/$who/memory.log" ]; then
    fail "the $who's memory tracker found errors: $(head -3 "$work/$who/memory.log" | tr '\r\n' '  ')"
  fi
  if [ -f "$work/$who/memleaks.log" ]; then
    if grep -q "Congratulations! No memory leaks found!" "$work/$who/memleaks.log"; then
      leaks="$leaks $who: none;"
    else
      fail "the $who's leak report lists leaks (see memleaks.log)"
      head -20 "$work/$who/memleaks.log"
      leaks="$leaks $who: LEAKS;"
    fi
  elif [ "$tracked" = yes ]; then
    fail "no leak report from the $who: is $build built with the memory tracker?"
  fi
done

echo "soak: summary"
echo "  minutes: $minutes ($(wc -l <"$work/rss.txt") RSS samples, every $interval s)"
echo "  ${host_memory#* }"
echo "  ${client_memory#* }"
echo "  worlds: $checks comparisons, $enemies_compared enemies of the shared screen in all;" \
  "at the end ${final_compared:-nothing compared}; desyncs: $desyncs (passing differences: $transients)"
echo "  leak reports:${leaks:- not tracked}"
if [ ${#failures[@]} -gt 0 ]; then
  keep=yes
  for line in "$work/host/karsk.log" "$work/client/karsk.log"; do
    echo "--- last lines of $line"
    tail -5 "$line"
  done
  echo "soak: FAILED (${#failures[@]} problem(s))"
  exit 1
fi
echo "soak: passed"
exit 0
}
