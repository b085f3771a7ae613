#!/usr/bin/env bash
# Installs what is missing, builds the release preset and describes the sample models: the
# block assembly (STEP) and the turned brick (OBJ). Extra arguments go to `geosig describe`,
# for example --json.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target geosig -j2
build/release/host/geosig describe "$@" data/samples/blocks.step data/samples/brick.obj
