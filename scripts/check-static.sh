#!/usr/bin/env bash
# Static checks beside the gcc builds: the whole project (game, tools, tests,
# benchmarks, fuzzers) must also build with clang with warnings as errors, and
# cppcheck must find nothing at the warning, performance and portability
# levels. Its style level is left out: it is mostly taste (explicit
# constructors, "use an STL algorithm") and would need many suppressions.
#
#   scripts/check-static.sh
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}

sources=(app engine sound entity world net player items enemies memory tools tests bench fuzz)
echo "== cppcheck"
cppcheck --std=c++17 --language=c++ --library=googletest \
  --enable=warning,performance,portability --inline-suppr --error-exitcode=1 \
  --quiet -j"$jobs" -I . "${sources[@]}"
echo "cppcheck: nothing found"

echo "== clang build (warnings as errors)"
cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKARSK_MEMORY_TRACKER=OFF -DKARSK_BUILD_TESTS=ON -DKARSK_BUILD_BENCH=ON >/dev/null
cmake --build build-clang -j"$jobs"
echo "clang: the project builds without warnings"
