#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the full build on a virtual X server
# with a D-Bus session, the headless libraries again under AddressSanitizer and UBSan, and the image
# library for arm64 (cross-built, run under qemu-user; Qt is not installed for arm64, so the libraries
# that need it are not built there).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh

bash scripts/build.sh build -- -DCMAKE_BUILD_TYPE=RelWithDebInfo
bash scripts/build.sh build-asan -- -DCMAKE_BUILD_TYPE=Debug -DLUMORA_HEADLESS_ONLY=ON -DLUMORA_SANITIZE=ON \
  -DLUMORA_BUILD_BENCH=OFF
bash scripts/build.sh build-arm64 -- -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DLUMORA_IMAGING_ONLY=ON \
  -DLUMORA_GTEST_SOURCE=/usr/src/googletest

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(nproc)
# A test that hangs fails alone instead of holding up the whole run.
timeout=300

status=0
echo "== sanitizer build: headless libraries =="
ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --timeout "$timeout" || status=1

echo "== arm64 build under qemu-user: the image library =="
ctest --test-dir build-arm64 --output-on-failure --parallel "$jobs" --timeout "$timeout" || status=1

# The direct-printing test prints to the default printer: a cups-pdf queue, which writes into the
# user's PDF folder. Where CUPS cannot be set up that test skips.
# lpstat -r answers 0 whether or not the scheduler runs; only its words tell.
scheduler_runs() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }
if [ -x /usr/sbin/cupsd ] && [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]; then
  scheduler_runs || /usr/sbin/cupsd </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 50); do scheduler_runs && break; sleep 0.1; done
  lpstat -v PDF >/dev/null 2>&1 ||
    lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null || true
  lpstat -d 2>/dev/null | grep -q ': PDF$' || lpadmin -d PDF 2>/dev/null || true
fi

echo "== full build on Xvfb =="
dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout "$timeout" || status=1
exit $status
