#!/usr/bin/env bash
# Builds the benchmarks in a release tree and runs them: perf/run.sh [benchmark name...]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
ensure_packages "${BUILD_PACKAGES[@]}"
dir=build-perf
[ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTS=OFF
cmake --build "$dir" --target benchmarks -j "$(nproc)"
names=("$@")
[ ${#names[@]} -gt 0 ] || mapfile -t names < <(find "$dir/perf" -maxdepth 2 -type f -executable -name '*Bench' -printf '%f\n' | sort)
for name in "${names[@]}"; do
  bin=$(find "$dir/perf" -maxdepth 2 -type f -name "$name" | head -n 1)
  echo "== $name"
  "$bin"
done
