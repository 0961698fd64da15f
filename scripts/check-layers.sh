#!/usr/bin/env bash
# The platform stays behind the engine and sound layers: game code never
# includes SDL's headers. The world's text renderer, which blits glyphs with
# SDL, is the one exception; tools, tests and benchmarks may use SDL freely.
set -euo pipefail
cd "$(dirname "$0")/.."

found=$(git grep -n -E '^\s*#\s*include\s*[<"]SDL' -- \
  'app/*' 'entity/*' 'world/*' 'net/*' 'player/*' 'items/*' 'enemies/*' 'memory/*' \
  ':!world/TextRenderer.cpp' || true)
if [ -n "$found" ]; then
  echo "SDL is included outside the engine and sound layers:"
  echo "$found"
  exit 1
fi
echo "layers: SDL stays behind engine/ and sound/"
