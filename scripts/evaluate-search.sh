#!/usr/bin/env bash
# Measures shape retrieval: writes the labelled evaluation set, indexes it and prints the
# leave-one-out scores of every part of the signature distance. Builds the release preset.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target geosig geosig_make_evaluation_set geosig_evaluate_search -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/release/host/geosig_make_evaluation_set "$work/set"
build/release/host/geosig index "$work/set" --db "$work/set.db"
build/release/host/geosig_evaluate_search "$work/set.db"
