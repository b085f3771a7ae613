#!/usr/bin/env bash
# Builds the libFuzzer harnesses (the `fuzz` preset, clang with AddressSanitizer and UBSan),
# replays their regression inputs, then fuzzes each harness for SECONDS (default 60), starting
# from the sample models. Inputs that break a harness are written to build/fuzz/findings/.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

work=build/fuzz/runs
findings=build/fuzz/findings
mkdir -p "$findings"

# A seed for an import harness: the byte that picks the extension, then the file.
seed() {  # harness index file
  printf "\\x$(printf %02x "$2")" >"$work/$1/seed-$(basename "$3")"
  cat "$3" >>"$work/$1/seed-$(basename "$3")"
}

rm -rf "$work"
mkdir -p "$work"/{MeshImportFuzzer,CadImportFuzzer,BatchOutputFuzzer,CommandLineFuzzer}
mesh=(stl obj ply off gltf glb 3ds dae fbx x ac ms3d)
for index in "${!mesh[@]}"; do
  for file in data/samples/*."${mesh[$index]}"; do [[ -e $file ]] && seed MeshImportFuzzer "$index" "$file"; done
done
for file in data/samples/*.step; do seed CadImportFuzzer 0 "$file"; done
for file in data/samples/*.igs; do seed CadImportFuzzer 1 "$file"; done
for file in data/samples/*.brep; do seed CadImportFuzzer 2 "$file"; done
printf '{"file":"a.stl","error":"empty file"}\n{"file":"b.obj","format":"OBJ","descriptors":{"norm":[1.5,-2e-3]}}\n' \
  >"$work/BatchOutputFuzzer/records.jsonl"
printf 'describe\0--json\0peg.stl' >"$work/CommandLineFuzzer/describe"
printf 'nearest\0peg.stl\0--line\0001,2,3\0000,0,1' >"$work/CommandLineFuzzer/nearest"
printf 'voxelize\0peg.stl\0--depth\0005\0--offset\0000.5\0-o\0out.glb' >"$work/CommandLineFuzzer/voxelize"
printf 'batch\0dir\0--list\0-\0-o\0out.jsonl\0--jobs\0002\0--resume' >"$work/CommandLineFuzzer/batch"

# The readers keep process-wide caches they never free; our own leaks are still reported.
export ASAN_OPTIONS=detect_leaks=1
status=0
for harness in MeshImportFuzzer CadImportFuzzer BatchOutputFuzzer CommandLineFuzzer; do
  echo "fuzz: $harness for ${seconds}s"
  if ! "build/fuzz/fuzz/$harness" "$work/$harness" "fuzz/regressions/$harness" -max_total_time="$seconds" \
      -timeout=20 -rss_limit_mb=2048 -max_len=262144 -print_final_stats=1 \
      -artifact_prefix="$findings/$harness-" >"$work/$harness.log" 2>&1; then
    status=1
    echo "fuzz: $harness found an input that breaks it (build/fuzz/findings):" >&2
    grep -E "ERROR|SUMMARY|^    #[0-9] " "$work/$harness.log" | head -20 >&2
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$work/$harness.log" || true
done
exit $status
