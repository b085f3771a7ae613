#!/usr/bin/env bash
# Compares shape search with PCL's ESF and VFH on a labelled list of real parts, and runs the
# perturbation suite on it. LIST holds paths relative to ROOT, the folder of each path naming
# its label; WORK keeps the catalog between runs (indexing is the long part).
#   scripts/compare-cad-search.sh LIST ROOT WORK [--split all|tune|held]
# Prints the scores of `geosig neighbours` and of the PCL descriptors at each size weight (the
# PCL rows only where geosig_pcl_baseline was built, that is where PCL is installed), then the
# perturbation table for the first part of each label.
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 LIST ROOT WORK [--split all|tune|held]" >&2
  exit 2
fi
list=$(realpath "$1") root=$(realpath "$2") work=$3
shift 3
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target geosig geosig_perturbation_check -j2 >/dev/null
cmake --build --preset release --target geosig_pcl_baseline -j2 >/dev/null 2>&1 || true
mkdir -p "$work"
sed "s#^#$root/#" "$list" >"$work/paths.txt"
build/release/host/geosig index --list "$work/paths.txt" --db "$work/catalog.db" --jobs 2
parts=$(wc -l <"$work/paths.txt")
build/release/host/geosig neighbours --db "$work/catalog.db" -k "$parts" -o "$work/geosig.jsonl"
echo "| method | NN | first tier | second tier | mAP |"
echo "|---|---|---|---|---|"
python3 scripts/score-neighbours.py "$work/geosig.jsonl" --list "$list" --root "$root" --name "geosig neighbours" "$@" |
  tail -1
if [ -x build/release/bench/geosig_pcl_baseline ]; then
  build/release/bench/geosig_pcl_baseline --list "$work/paths.txt" --out "$work/pcl" 2>/dev/null
  for ranking in "$work"/pcl-*.jsonl; do
    name=$(basename "$ranking" .jsonl)
    python3 scripts/score-neighbours.py "$ranking" --list "$list" --root "$root" --name "PCL ${name#pcl-}" "$@" | tail -1
  done
fi
awk -F/ '!seen[$(NF-1)]++' "$work/paths.txt" >"$work/perturbed.txt"
build/release/bench/geosig_perturbation_check --db "$work/catalog.db" "$work/perturbed.txt" 2>/dev/null
