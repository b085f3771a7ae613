#!/usr/bin/env bash
# Builds the libFuzzer harnesses (the `fuzz` preset: clang with AddressSanitizer and UBSan),
# replays their regression inputs, then fuzzes each harness for SECONDS (default 60), starting
# from the sample models. Every input that breaks a harness is kept in build/fuzz/findings/ and
# replayed to see where it breaks: the run fails when it breaks in our code. A crash, a hang or
# running out of memory inside a reader's own library is reported but is not ours to fix; `batch`
# confines each reader to a worker process with time and memory limits.
# Usage: scripts/fuzz.sh [SECONDS [HARNESS...]], with FUZZ_PROCESSES (default 1) processes each.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
all=(MeshImportFuzzer CadImportFuzzer BatchOutputFuzzer CommandLineFuzzer)
harnesses=("${all[@]}")
(($# > 1)) && harnesses=("${@:2}")
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

work=build/fuzz/runs
findings=build/fuzz/findings
rm -rf "$work"
mkdir -p "$findings" "${all[@]/#/$work/}"

# A seed for an import harness: the byte that picks the extension, then the file.
seed() {  # harness index file
  local seedFile
  seedFile="$work/$1/seed-$(basename "$3")"
  printf "\\x$(printf %02x "$2")" >"$seedFile"
  cat "$3" >>"$seedFile"
}
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

# Where a replayed input breaks: "ours", or "reader" when the first frame that is neither the
# sanitizers', libFuzzer's nor the C library's lies in a reader's library, or "no" when it runs
# through alone (the readers keep process-wide state that earlier inputs may have spoilt).
breaks_in() {  # harness input
  local replay first
  local skipped='libclang_rt|compiler-rt|sanitizer|fuzzer::|libc\.so|libstdc\+\+|LLVMFuzzerTestOneInput'
  skipped+='| in operator new| in (malloc|calloc|realloc)'
  if replay=$("build/fuzz/fuzz/$1" "$2" 2>&1); then
    echo no
    return
  fi
  first=$(grep -E '^ +#[0-9]+ ' <<<"$replay" | grep -vE "$skipped" | head -1 || true)
  if [[ $first == *libassimp* || $first == *libTK* ]]; then echo reader; else echo ours; fi
}

status=0
for harness in "${harnesses[@]}"; do
  echo "fuzz: $harness for ${seconds}s"
  # Fork mode goes on after a finding, so that one reader crash does not end the run.
  "build/fuzz/fuzz/$harness" "$work/$harness" "fuzz/regressions/$harness" -fork="${FUZZ_PROCESSES:-1}" \
    -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -max_len=262144 -artifact_prefix="$findings/$harness-" >"$work/$harness.log" 2>&1 || true
  grep -E '^#[0-9]+: ' "$work/$harness.log" | tail -1 | sed "s/^/fuzz: $harness /" || true
  for finding in "$findings/$harness"-crash-* "$findings/$harness"-leak-*; do
    [[ -e $finding ]] || continue
    where=$(breaks_in "$harness" "$finding")
    if [[ $where == no ]]; then
      echo "fuzz: $finding does not break when replayed alone"
    else
      echo "fuzz: $finding breaks in $where code"
    fi
    [[ $where == ours ]] && status=1
  done
done
exit $status
