#!/usr/bin/env bash
# Sets up, then builds and runs every test twice: with the dev preset (sanitizers, warnings as
# errors) and with the release preset (the optimised code users run). Last, fuzzes each
# harness for FUZZ_SECONDS (default 45) with the fuzz preset.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
for preset in dev release; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset"
done
bash scripts/fuzz.sh "${FUZZ_SECONDS:-45}"
