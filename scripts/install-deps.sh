#!/usr/bin/env bash
# Installs the Debian packages needed to build, play and test the game; only
# what is missing, so a second run is quick and needs no network.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libmpg123-dev libmp3lame-dev lame libpng-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libinih-dev
  dpkg-dev desktop-file-utils
  clang cppcheck
)
# With --fuzz, also what the fuzzers need (scripts/fuzz.sh): clang's
# sanitizer and libFuzzer runtimes, which are only recommended by clang and
# so must be named, as recommended packages are left out below.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
