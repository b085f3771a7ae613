#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those missing. Idempotent; runs apt-get
# directly as root, through sudo otherwise.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libeigen3-dev libssl-dev
  libassimp-dev
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev
  libocct-data-exchange-dev libocct-ocaf-dev libocct-visualization-dev
  libtbb-dev
  nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libhnswlib-dev
  openssl
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  assimp-testmodels
  clang-format-14
  libjs-three libmeshoptimizer-dev chromium
  libcpp-httplib-dev
  pybind11-dev python3-dev python3-numpy python3-distributed python3-pytest
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: installing packages needs root, and sudo is not installed" >&2
    exit 1
  fi
  as_root=(sudo)
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
