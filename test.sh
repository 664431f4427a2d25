#!/usr/bin/env bash
# Installs what the build needs (Debian packages), builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-packages.sh
# The SQL grammars the statement check runs with (versions pinned by the lock file).
npm ci --prefix tests/sqlgrammar --no-audit --no-fund >/dev/null

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The fuzz targets over their seed corpora and a short run each (skipped without clang).
scripts/run-fuzz.sh 4
