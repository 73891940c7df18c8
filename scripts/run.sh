#!/usr/bin/env bash
# Installs what is missing, builds Lumora and runs it with the given arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build" lumora
exe="$root/build/bin/lumora"
if [ -n "${DISPLAY:-}" ] || [ $# -ne 0 ]; then
  exec "$exe" "$@"
fi

# No desktop to show the window on: start a virtual one (and a session bus for `send`), and say where.
n=99
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
bus_pid=""
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-daemon >/dev/null; then
  { read -r DBUS_SESSION_BUS_ADDRESS; read -r bus_pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
  export DBUS_SESSION_BUS_ADDRESS
fi
trap 'kill $xvfb $bus_pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
env="DISPLAY=:$n${bus_pid:+ DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS}"
echo "lumora: no desktop here, so the window program runs on the virtual display :$n; from another" \
  "terminal, '$env bash scripts/run.sh capture full --output shot.png' captures it and" \
  "'$env bash scripts/run.sh send capture 0' asks the program to; Ctrl+C ends it"
DISPLAY=":$n" "$exe"
