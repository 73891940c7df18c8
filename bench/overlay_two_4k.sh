#!/usr/bin/env bash
# Runs overlay_bench on an Xorg server of its own (dummy video driver) showing two 3840 x 2160 monitors
# side by side, the primary one on the right. Usage: bench/overlay_two_4k.sh [BUILD_DIR] [benchmark options]
set -euo pipefail
build=${1:-build}
shift || true
dir=$(mktemp -d)
trap 'kill "$xorg" 2>/dev/null; wait "$xorg" 2>/dev/null; rm -rf "$dir"' EXIT
cat >"$dir/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 7680 2160
  EndSubSection
EndSection
CONF
display=":$((150 + $$ % 50))"
Xorg "$display" -config "$dir/xorg.conf" -configdir "$dir" -noreset -br -nolisten tcp -logfile "$dir/xorg.log" \
  >/dev/null 2>&1 &
xorg=$!
for _ in $(seq 100); do DISPLAY=$display xrandr >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$display
xrandr --newmode 3840x2160 533.25 3840 3888 3920 4000 2160 2163 2168 2222 +hsync -vsync 2>/dev/null || true
for output in DUMMY0 DUMMY1; do xrandr --addmode "$output" 3840x2160 2>/dev/null || true; done
xrandr --output DUMMY0 --mode 3840x2160 --pos 0x0 --output DUMMY1 --mode 3840x2160 --pos 3840x0 --primary
xrandr --listmonitors
"$build/bench/overlay_bench" "$@"
