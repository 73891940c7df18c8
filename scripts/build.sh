#!/usr/bin/env bash
# Configures and builds one build tree: build.sh DIR [TARGET...] [-- CMAKE_OPTIONS...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
targets=()
while (($#)) && [ "$1" != "--" ]; do targets+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
if ((${#targets[@]})); then
  cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]}"
else
  cmake --build "$dir" --parallel "$(nproc)"
fi
