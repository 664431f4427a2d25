#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each over its seed corpus
# (fuzz/corpus/<name>/) and then for a few seconds more. Without clang it says so and stops.
#   scripts/run-fuzz.sh [SECONDS_PER_TARGET]     (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-5}"

if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
  echo "run-fuzz: clang is not installed; the fuzz targets were not run"
  exit 0
fi

# The instrumented build is a second build of every library: a compiler cache, when there is
# one, keeps it short after the first time.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DFILOMAR_FUZZ=ON -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE=-O1 -DCMAKE_CXX_FLAGS_RELEASE=-O1 "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets >/dev/null

failed=0
for corpus in fuzz/corpus/*/; do
  name="$(basename "$corpus")"
  found="$(mktemp -d)"  # what the short run adds stays out of the seed corpus
  if build-fuzz/fuzz/"${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
       -artifact_prefix="$found/" "$found" "$corpus" >"$found/log" 2>&1; then
    echo "fuzz $name: $(grep -Eo '#[0-9]+' "$found/log" | tail -1 | tr -d '#') runs, no failure"
  else
    echo "fuzz $name: FAILED (the input that failed is in $found)"
    tail -30 "$found/log"
    failed=1
    continue
  fi
  rm -rf "$found"
done
exit "$failed"
