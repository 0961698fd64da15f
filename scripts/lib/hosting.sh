# Sourced by the scripts that start a headless host.
#
# wait_until_hosting LOG PID [tenths]: waits until the game's log says it is
# listening (true), or until the process ends or the time is up (false).
wait_until_hosting() {
  local log=$1 pid=$2 tenths=${3:-100}
  for _ in $(seq 1 "$tenths"); do
    if grep -q "hosting on port" "$log" 2>/dev/null; then return 0; fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
