#!/usr/bin/env bash
# Times a whole full-screen capture to PNG on a headless Wayland desktop (tests/wayland/wayland_rig.sh)
# against the portal's own round trip measured in the same run (a bare Screenshot call, from the call to
# the answer, without starting any process) and beside grim writing the same PNG. Rounds alternate the
# three so that a busy machine weighs on each alike. Prints medians of RUNS rounds (default 9) at
# 1920x1080 and 3840x2160 (SIZES="WxH ..." for others). LUMORA=path times that executable instead of this
# tree's build; BASELINE=path also times that one in the same rounds (a before and after in one sitting).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-9}
lumora=${LUMORA:-$root/build/bin/lumora}
[ -x "$lumora" ] || bash "$root/scripts/build.sh" "$root/build" lumora >/dev/null

if [ "${1:-}" != --inside ]; then
  for size in ${SIZES:-1920x1080 3840x2160}; do
    echo "== $size =="
    RIG_SIZE=$size LUMORA=$lumora BASELINE=${BASELINE:-} RUNS=$runs bash "$root/tests/wayland/wayland_rig.sh" bash "$0" --inside 2>/dev/null
  done
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
best() { sort -n | head -n1 | cut -d. -f1; }
# One untimed call of each: the portal and the page cache warm up.
"$lumora" capture full --delay 0 --output "$work/l.png" >/dev/null
/usr/bin/python3 "$root/bench/portal_round_trip.py" >/dev/null
baseline=${BASELINE:-}
[ -n "$baseline" ] && "$baseline" capture full --delay 0 --output "$work/b.png" >/dev/null
for ((i = 0; i < runs; i++)); do
  if [ -n "$baseline" ]; then
    t0=$(ms)
    "$baseline" capture full --delay 0 --output "$work/b.png" >/dev/null
    echo $(($(ms) - t0)) >>"$work/baseline"
  fi
  t0=$(ms)
  "$lumora" capture full --delay 0 --output "$work/l.png" >/dev/null
  echo $(($(ms) - t0)) >>"$work/lumora"
  /usr/bin/python3 "$root/bench/portal_round_trip.py" >>"$work/portal"
  t0=$(ms)
  grim "$work/g.png"
  echo $(($(ms) - t0)) >>"$work/grim"
done
l=$(median <"$work/lumora")
p=$(median <"$work/portal" | cut -d. -f1)
echo "lumora capture full --output (whole command): $l ms"
echo "portal Screenshot round trip (bare call):     $p ms"
echo "grim to PNG (whole command):                  $(median <"$work/grim") ms"
echo "lumora over the portal: +$(((l - p) * 100 / (p > 0 ? p : 1))) %"
# On a busy machine the medians carry other programs' load; the best rounds show each one's own cost.
lb=$(best <"$work/lumora")
pb=$(best <"$work/portal")
echo "best rounds: lumora $lb ms, portal $pb ms, grim $(best <"$work/grim") ms: +$(((lb - pb) * 100 / (pb > 0 ? pb : 1))) %"
if [ -n "$baseline" ]; then
  b=$(median <"$work/baseline")
  echo "baseline $baseline: $b ms, +$(((b - p) * 100 / (p > 0 ? p : 1))) % over the portal (best $(best <"$work/baseline") ms)"
fi
