#!/usr/bin/env bash
# Builds the game and starts it; extra arguments go to the game (try --help).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}" --target karsk
exec ./build/karsk "$@"
