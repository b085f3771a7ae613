#!/usr/bin/env bash
# Fails when a C++ file is not as clang-format 14 writes it with the root's .clang-format.
# Checks the files given (paths from the repository's root), or every tracked C++ source and
# header when none is given; names each file that differs. `clang-format-14 -i FILE...`
# formats them.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=${CLANG_FORMAT:-clang-format-14}
command -v "$formatter" >/dev/null || { echo "check-format: $formatter is not installed" >&2; exit 2; }
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi
unformatted=0
for file in "${files[@]}"; do
  if [ ! -f "$file" ]; then
    echo "no such file: $file" >&2
    unformatted=1
  elif ! "$formatter" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file" >&2
    unformatted=1
  fi
done
exit "$unformatted"
