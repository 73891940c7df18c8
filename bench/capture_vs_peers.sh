#!/usr/bin/env bash
# Times a whole full-screen capture to a PNG file: lumora against scrot and maim on the same Xvfb screen
# showing the same screenshot-like picture, at 1920x1080 and 3840x2160. Prints the median of RUNS runs
# (default 9) and the file sizes. Installs scrot, maim and python3-tk when missing. LUMORA=path times that
# executable instead of building this tree's (for a before-and-after in one sitting).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-9}

missing=()
for p in scrot maim python3-tk xvfb; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

lumora=${LUMORA:-}
if [ -z "$lumora" ]; then
  bash "$root/scripts/build.sh" "$root/build" lumora >/dev/null
  lumora="$root/build/bin/lumora"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Milliseconds of one run of the command.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

for size in 1920x1080 3840x2160; do
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  read -r -t 10 number <&"$fd"
  export DISPLAY=":$number"
  python3 "$root/bench/screen_picture.py" &
  picture=$!
  sleep 2

  echo "== $size (median of $runs runs)"
  for tool in lumora scrot maim; do
    case $tool in
      lumora) cmd=("$lumora" capture full --delay 0 --output "$work/lumora.png") ;;
      scrot) cmd=(scrot -o "$work/scrot.png") ;;
      maim) cmd=(maim "$work/maim.png") ;;
    esac
    "${cmd[@]}" >/dev/null 2>&1 # warm the page cache
    ms=$(for _ in $(seq "$runs"); do time_ms "${cmd[@]}"; done | median)
    printf '%-7s %6d ms  %9d bytes\n' "$tool" "$ms" "$(stat -c %s "$work/$tool.png")"
  done
  kill "$picture" "$xvfb"
  wait "$picture" "$xvfb" 2>/dev/null || true
  exec {fd}>&-
done
