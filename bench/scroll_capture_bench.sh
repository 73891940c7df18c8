#!/usr/bin/env bash
# Times scrolling captures of a 10,000-pixel page in an 800x600 Chromium window on its own Xvfb screen,
# with and without smooth scrolling: total time, steps, and time per step beside the fixed 120 ms a step
# of the marker-based loop. RUNS captures each (default 3); prints the median. LUMORA="A B" times those
# executables instead of building one, taking turns on the same page, so that builds compare fairly on
# a busy machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-3}
if [ -z "${LUMORA:-}" ]; then
  bash "$root/scripts/build.sh" "$root/build" lumora >/dev/null
  LUMORA="$root/build/bin/lumora"
fi
read -r -a binaries <<<"$LUMORA"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# 1000 bands of 10 px, each its own colour.
{
  printf '<!DOCTYPE html><html><head><title>Lumora bench page</title><style>body{margin:0}div{height:10px}</style></head><body>'
  for i in $(seq 0 999); do printf "<div style='background:rgb(%d,%d,%d)'></div>" $((i % 200 + 20)) $((i / 200 * 40 + 20)) $((i * 7 % 256)); done
  printf '</body></html>\n'
} >"$work/page.html"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display

height() { python3 -c "import struct;print(struct.unpack('>II',open('$1','rb').read(24)[16:24])[1])"; }

measure() { # $1: extra chromium flag, $2: label
  local profile="$work/profile$RANDOM"
  chromium --no-sandbox --test-type --disable-gpu --force-color-profile=srgb --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
    --window-position=0,0 --window-size=800,600 --app="file://$work/page.html" $1 >/dev/null 2>&1 &
  local browser=$!
  local window=""
  # A window that comes and goes while the search walks the tree makes xdotool fail: ask again.
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name 'Lumora bench page' 2>/dev/null | tail -1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  sleep 2
  local -A results=()
  for _ in $(seq "$runs"); do
    for lumora in "${binaries[@]}"; do
      xdotool key --window "$window" ctrl+Home >/dev/null; sleep 1
      local start end steps
      start=$(date +%s%N)
      # A terminal makes the capture report its steps.
      steps=$(script -qec "$lumora capture scroll --window $window --output $work/out.png" /dev/null \
        | grep -c 'step' || true)
      end=$(date +%s%N)
      results[$lumora]+="$(( (end - start) / 1000000 )) $steps $(height "$work/out.png")"$'\n'
    done
  done
  kill "$browser" 2>/dev/null || true
  wait "$browser" 2>/dev/null || true
  for lumora in "${binaries[@]}"; do
    printf '%s' "${results[$lumora]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p" | {
      read -r ms steps rows
      echo "$lumora, ${2}: total ${ms} ms, ${steps} steps, $(( ms / (steps > 0 ? steps : 1) )) ms a step" \
        "(fixed waits of the marker loop: 120 ms a step, $(( steps * 120 + 300 )) ms in all); height ${rows}"
    }
  done
}

measure --disable-smooth-scrolling "without smooth scrolling"
measure "" "with smooth scrolling"
