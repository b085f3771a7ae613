#!/usr/bin/env bash
# Sets up, builds with the dev preset (sanitizers, warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev -j2
ctest --preset dev
