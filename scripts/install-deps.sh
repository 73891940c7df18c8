#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Lumora needs.
# Safe to run repeatedly: apt-get is only called when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins libgl-dev libxkbcommon-dev
  libfreeimage-dev libpng-dev zlib1g-dev libdeflate-dev libjpeg62-turbo-dev libtiff-dev libgif-dev
  libseccomp-dev # the decoder sandbox (helpers/)
  libtesseract-dev tesseract-ocr-eng # reading the text of pictures (ocr/)
  libx11-dev libxext-dev libxfixes-dev libxtst-dev libxrandr-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-aarch64-linux-gnu qemu-user-static googletest # the arm64 build of the tests, run under qemu-user
  libopencv-dev # benchmarks only (bench/opencv_bench): never linked into Lumora
  xvfb xauth xdotool xclip x11-utils x11-apps openbox trayer chromium xterm
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  python3-gi gir1.2-gtk-3.0 # a real GTK 3 window that draws its own frame, for the window-picking tests
  dbus dbus-x11 libdbus-1-dev
  cups printer-driver-cups-pdf # a real printer queue (writing PDF files) for the direct-printing test
  fonts-dejavu-core fonts-liberation2
  # a headless Wayland desktop with the screenshot portal, where the Wayland tests run (tests/wayland)
  sway swaybg grim xdg-desktop-portal xdg-desktop-portal-wlr pipewire qt6-wayland wl-clipboard python3-gi
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
