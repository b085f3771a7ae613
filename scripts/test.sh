#!/usr/bin/env bash
# Sets up, builds with the dev preset (sanitizers, warnings as errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The format check, off until the whole tree has been formatted once (GEOSIG_CHECK_FORMAT=1).
if [ "${GEOSIG_CHECK_FORMAT:-0}" = 1 ]; then bash scripts/check-format.sh; fi
cmake --preset dev
cmake --build --preset dev -j2
ctest --preset dev
