#!/usr/bin/env bash
# Installs what is missing, builds Lumora and runs it with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build" lumora
exe="$root/build/bin/lumora"
if [ -z "${DISPLAY:-}" ] && [ $# -eq 0 ]; then
  # No desktop to show the window on: start a virtual one.
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$exe"
fi
exec "$exe" "$@"
