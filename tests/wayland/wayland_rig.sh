#!/bin/bash
# wayland_rig.sh - run one command inside a throw-away headless Wayland session (the Wayland tests'
# desktop; CTest starts one per test, see tests/CMakeLists.txt):
#   private D-Bus session bus + sway (wlroots headless, pixman) + pipewire +
#   xdg-desktop-portal (1.16) + xdg-desktop-portal-wlr (0.7).
#
# Usage:  wayland_rig.sh [--] COMMAND [ARGS...]
#   COMMAND runs as the caller with WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS,
#   XDG_RUNTIME_DIR, XDG_CURRENT_DESKTOP=sway, XDG_SESSION_TYPE=wayland, SWAYSOCK
#   and WLRIG_DIR exported and DISPLAY unset. The script exits with COMMAND's
#   exit code (125 if the rig failed to start). Everything the rig started is
#   killed by pid afterwards.
#
# Debian 12 packages (scripts/install-deps.sh): sway swaybg grim xdg-desktop-portal xdg-desktop-portal-wlr
#   pipewire (dependency of xdpw) dbus; optional: xdg-desktop-portal-gtk
#   (otherwise a stub Access entry is used, see below), wireplumber (ScreenCast).
#
# Knobs (environment):
#   RIG_SIZE=1280x800     mode of HEADLESS-1          RIG_BG='#336699'  solid background
#   RIG_BG2=RIG_BG        background of the outputs after HEADLESS-1 (tells them apart in a picture)
#   RIG_OUTPUTS=1         >1: more outputs via `swaymsg create_output`, placed to the
#                         right of HEADLESS-1, mode RIG_SIZE2 (default 800x600)
#   RIG_PORTAL=1          0: only dbus + sway
#   RIG_SCREENCAST=0      1: also start wireplumber (links ScreenCast streams)
#   RIG_SLURP=fail        what xdpw gets as `slurp` (used by interactive:true and
#                         PickColor): fail = exits 1 (portal answers 2 at once);
#                         output = pretends the user selected all of HEADLESS-1;
#                         real = /usr/bin/slurp (hangs: no pointer exists headless,
#                         and xdpw is blocked until it returns)
#   RIG_KEEP=0            1: keep $WLRIG_DIR (configs + logs) afterwards (also kept on failure)
#   RIG_TIMEOUT=20        seconds allowed for each component to come up
#   RIG_NICE=10           niceness added to the rig's daemons
#   RIG_SWAY_AS=auto      as root: auto = user namespace if possible, uid = setpriv
#   RIG_SWAY_UID=65534    uid for RIG_SWAY_AS=uid (or when user namespaces are unavailable)
set -u

RIG_SIZE=${RIG_SIZE:-1280x800}
RIG_SIZE2=${RIG_SIZE2:-800x600}
RIG_BG=${RIG_BG:-#336699}
RIG_BG2=${RIG_BG2:-$RIG_BG}
RIG_OUTPUTS=${RIG_OUTPUTS:-1}
RIG_PORTAL=${RIG_PORTAL:-1}
RIG_SCREENCAST=${RIG_SCREENCAST:-0}
RIG_SLURP=${RIG_SLURP:-fail}
RIG_KEEP=${RIG_KEEP:-0}
RIG_TIMEOUT=${RIG_TIMEOUT:-20}
RIG_NICE=${RIG_NICE:-10}
RIG_SWAY_UID=${RIG_SWAY_UID:-65534}

[ "${1:-}" = "--" ] && shift
if [ $# -eq 0 ]; then
    echo "usage: $0 [--] COMMAND [ARGS...]" >&2
    exit 2
fi

log() { echo "[wlrig $(date +%T.%3N)] $*" >&2; }
die() { log "ERROR: $*"; RIG_KEEP=1; exit 125; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

need="sway swaybg dbus-daemon dbus-send swaymsg"
[ "$RIG_PORTAL" = 1 ] && need="$need grim pipewire"
for b in $need; do
    command -v "$b" >/dev/null || { echo "wlrig: missing $b" >&2; exit 125; }
done

T0=$(now_ms)
# One fresh 0700 folder (owned by the caller): XDG_RUNTIME_DIR, configs and logs.
RIG_DIR=$(mktemp -d /tmp/wlrig-run.XXXXXX) || exit 125
chmod 0700 "$RIG_DIR"
export XDG_RUNTIME_DIR=$RIG_DIR WLRIG_DIR=$RIG_DIR

PIDS=()          # every pid we started, in start order
CMD_RC=125

teardown() {
    local i p n
    trap - EXIT INT TERM HUP
    # reverse start order: portals, pipewire, swaybg, sway, dbus-daemon
    for (( i=${#PIDS[@]}-1; i>=0; i-- )); do
        p=${PIDS[$i]}
        kill -TERM "$p" 2>/dev/null || continue
        for n in $(seq 30); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$p" 2>/dev/null; then
            log "pid $p ignored SIGTERM for 3 s, sending SIGKILL"
            kill -KILL "$p" 2>/dev/null
        fi
        wait "$p" 2>/dev/null
    done
    if [ "$RIG_KEEP" = 1 ] || [ "$CMD_RC" -ne 0 ]; then
        log "rig dir kept: $RIG_DIR"
    else
        rm -rf "$RIG_DIR"
    fi
}
trap teardown EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# wait_for DESC CMD... : poll CMD every 50 ms until it succeeds (RIG_TIMEOUT s)
wait_for() {
    local desc=$1; shift
    local end=$(( $(now_ms) + RIG_TIMEOUT * 1000 ))
    until "$@" >/dev/null 2>&1; do
        [ "$(now_ms)" -gt "$end" ] && die "timeout waiting for $desc (logs: $RIG_DIR)"
        sleep 0.05
    done
}
alive() { kill -0 "$1" 2>/dev/null || die "$2 exited early, see $RIG_DIR/$2.log"; }

# ------------------------------------------------------------------ D-Bus
# Private session bus. No standard service dirs: nothing is D-Bus-activated
# behind our back; every daemon is started below and tracked by pid.
mkdir -p "$RIG_DIR/dbus-services"
cat > "$RIG_DIR/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:path=$RIG_DIR/bus</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$RIG_DIR/dbus-services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
nice -n "$RIG_NICE" dbus-daemon --config-file="$RIG_DIR/bus.conf" --nofork \
    --print-address=3 3>"$RIG_DIR/bus.address" >"$RIG_DIR/dbus.log" 2>&1 &
PIDS+=($!)
wait_for "dbus-daemon" test -s "$RIG_DIR/bus.address"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$RIG_DIR/bus.address")
bus_has() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
        /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null \
        | grep -q true
}

# ------------------------------------------------------------------ sway
cat > "$RIG_DIR/sway.conf" <<EOF
xwayland disable
default_border none
default_floating_border none
focus_follows_mouse no
output HEADLESS-1 resolution $RIG_SIZE position 0 0
EOF
SWAY_PREFIX=()
if [ "$(id -u)" -eq 0 ]; then
    # sway 1.7 refuses to run as root ("Unable to drop root ..., refusing to
    # start"): it checks that setuid(0) fails. In a fresh user namespace with no
    # uid map, setuid(0) fails, yet files it creates are owned by root outside,
    # so XDG_RUNTIME_DIR stays root-owned 0700 (Qt/GLib check that).
    if [ "${RIG_SWAY_AS:-auto}" != uid ] && unshare --user true 2>/dev/null; then
        SWAY_PREFIX=(unshare --user)
    else
        # fallback: run sway as an unprivileged uid; the runtime dir must then
        # belong to it (Qt warns "runtime directory ... is not owned by UID 0")
        chown "$RIG_SWAY_UID:$RIG_SWAY_UID" "$RIG_DIR"
        SWAY_PREFIX=(setpriv "--reuid=$RIG_SWAY_UID" "--regid=$RIG_SWAY_UID" --clear-groups)
    fi
fi
env -u WAYLAND_DISPLAY -u DISPLAY -u SWAYSOCK \
    HOME="$RIG_DIR" XDG_CONFIG_HOME="$RIG_DIR/config" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    WLR_HEADLESS_OUTPUTS=1 \
    nice -n "$RIG_NICE" "${SWAY_PREFIX[@]}" sway -c "$RIG_DIR/sway.conf" \
    >"$RIG_DIR/sway.log" 2>&1 &
PIDS+=($!); SWAY_PID=$!
sock_ready() { ls "$RIG_DIR"/sway-ipc.*.sock && ls "$RIG_DIR"/wayland-*.lock; }
wait_for "sway sockets" sock_ready
alive "$SWAY_PID" sway
export SWAYSOCK=$(ls "$RIG_DIR"/sway-ipc.*.sock | head -n1)
WL=$(ls "$RIG_DIR"/wayland-*.lock | head -n1); WL=${WL##*/}
export WAYLAND_DISPLAY=${WL%.lock}
export XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland XDG_SESSION_DESKTOP=sway
unset DISPLAY
wait_for "sway IPC" swaymsg -t get_outputs

# Background: our own swaybg child rather than sway's `output * bg` (sway
# double-forks swaybg, leaving it to PID 1 to reap). '*' also covers outputs
# created later.
nice -n "$RIG_NICE" swaybg -o HEADLESS-1 -c "$RIG_BG" -o '*' -c "$RIG_BG2" >"$RIG_DIR/swaybg.log" 2>&1 &
PIDS+=($!)

x=${RIG_SIZE%x*}
for (( n=2; n<=RIG_OUTPUTS; n++ )); do
    swaymsg create_output >/dev/null || die "swaymsg create_output failed"
    swaymsg output "HEADLESS-$n" resolution "$RIG_SIZE2" position "$x" 0 >/dev/null \
        || die "could not configure HEADLESS-$n"
    x=$(( x + ${RIG_SIZE2%x*} ))
done

# swaybg draws asynchronously: wait until every output shows the colour
if command -v grim >/dev/null; then
    hex() { printf '%s' "${1#\#}" | tr 'A-F' 'a-f'; }
    bg_ready() {
        local o want
        for (( o=1; o<=RIG_OUTPUTS; o++ )); do
            if [ "$o" = 1 ]; then want=$(hex "$RIG_BG"); else want=$(hex "$RIG_BG2"); fi
            [ "$(grim -o "HEADLESS-$o" -t ppm - 2>/dev/null | tail -c 3 | od -An -tx1 | tr -d ' \n')" = "$want" ] || return 1
        done
    }
    wait_for "background colour on all outputs" bg_ready
fi
log "sway up: $WAYLAND_DISPLAY, $RIG_OUTPUTS output(s), $(( $(now_ms) - T0 )) ms"

# ------------------------------------------------------------------ PipeWire
# xdpw 0.7 exits at start ("pipewire: couldn't connect to context", "failed to
# initialize screencast") without a PipeWire daemon, even for Screenshot only.
if [ "$RIG_PORTAL" = 1 ]; then
    # stock config minus libpipewire-module-rt (as root it sets nice -11 and
    # SCHED_FIFO threads; this is a guest on a shared machine)
    awk '/name = libpipewire-module-rt/{skip=1} skip&&/^    }/{skip=0; next} !skip' \
        /usr/share/pipewire/pipewire.conf > "$RIG_DIR/pipewire.conf"
    nice -n "$RIG_NICE" pipewire -c "$RIG_DIR/pipewire.conf" >"$RIG_DIR/pipewire.log" 2>&1 &
    PIDS+=($!); PW_PID=$!
    wait_for "pipewire socket" test -S "$RIG_DIR/pipewire-0"
    alive "$PW_PID" pipewire
    if [ "$RIG_SCREENCAST" = 1 ]; then
        command -v wireplumber >/dev/null || die "RIG_SCREENCAST=1 needs wireplumber"
        env XDG_CONFIG_HOME="$RIG_DIR/config" XDG_STATE_HOME="$RIG_DIR/state" \
            nice -n "$RIG_NICE" wireplumber >"$RIG_DIR/wireplumber.log" 2>&1 &
        PIDS+=($!)
        alive "${PIDS[-1]}" wireplumber
    fi
fi

# ------------------------------------------------------------------ portals
if [ "$RIG_PORTAL" = 1 ]; then
    mkdir -p "$RIG_DIR/config/xdg-desktop-portal-wlr" "$RIG_DIR/bin"
    # ScreenCast: nobody can pick an output, so no chooser, always HEADLESS-1
    printf '[screencast]\nchooser_type=none\noutput_name=HEADLESS-1\nmax_fps=30\n' \
        > "$RIG_DIR/config/xdg-desktop-portal-wlr/config"
    # xdpw runs `grim -g "$(slurp)" -- /tmp/out.png` for interactive:true
    # and `grim -g "$(slurp -p)" ...` for PickColor
    case "$RIG_SLURP" in
        fail)   printf '#!/bin/sh\necho "wlrig: no slurp headless" >&2\nexit 1\n' > "$RIG_DIR/bin/slurp" ;;
        output) w=${RIG_SIZE%x*}; h=${RIG_SIZE#*x}
                printf '#!/bin/sh\nif [ "$1" = -p ]; then echo "%d,%d 1x1"; else echo "0,0 %s"; fi\n' \
                    $((w/2)) $((h/2)) "$RIG_SIZE" > "$RIG_DIR/bin/slurp" ;;
        real)   ;;
        *)      die "RIG_SLURP must be fail, output or real" ;;
    esac
    [ -f "$RIG_DIR/bin/slurp" ] && chmod 0755 "$RIG_DIR/bin/slurp"

    # private XDG dirs for the daemons: nothing is written to $HOME
    DENV=(env XDG_CONFIG_HOME="$RIG_DIR/config" XDG_DATA_HOME="$RIG_DIR/data"
          XDG_CACHE_HOME="$RIG_DIR/cache" XDG_STATE_HOME="$RIG_DIR/state")

    # portal 1.16 only exports org.freedesktop.portal.Screenshot if some *.portal
    # file also lists org.freedesktop.impl.portal.Access (gtk.portal from
    # xdg-desktop-portal-gtk does; it is chosen by "fall back to any"). xdpw's
    # Screenshot impl has version=1, so xdp never calls Access nor the permission
    # store: without xdg-desktop-portal-gtk a stub entry (name never owned) is enough.
    # XDG_DESKTOP_PORTAL_DIR is xdp's own override of the portals folder.
    PORTALS=/usr/share/xdg-desktop-portal/portals
    [ -f "$PORTALS/wlr.portal" ] || die "missing $PORTALS/wlr.portal"
    if [ "${RIG_ACCESS_STUB:-auto}" = 1 ] || ! grep -qs 'impl.portal.Access' "$PORTALS"/*.portal; then
        mkdir -p "$RIG_DIR/portals"
        cp "$PORTALS/wlr.portal" "$RIG_DIR/portals/"
        printf '[portal]\nDBusName=org.freedesktop.impl.portal.desktop.wlrigstub\nInterfaces=org.freedesktop.impl.portal.Access;\nUseIn=wlrigstub\n' \
            > "$RIG_DIR/portals/wlrig-access-stub.portal"
        DENV+=(XDG_DESKTOP_PORTAL_DIR="$RIG_DIR/portals")
    fi

    "${DENV[@]}" nice -n "$RIG_NICE" /usr/libexec/xdg-permission-store --replace \
        >"$RIG_DIR/permission-store.log" 2>&1 &
    PIDS+=($!)
    "${DENV[@]}" PATH="$RIG_DIR/bin:$PATH" nice -n "$RIG_NICE" \
        /usr/libexec/xdg-desktop-portal-wlr -l INFO \
        -c "$RIG_DIR/config/xdg-desktop-portal-wlr/config" >"$RIG_DIR/xdpw.log" 2>&1 &
    PIDS+=($!); XDPW_PID=$!
    wait_for "org.freedesktop.impl.portal.PermissionStore" bus_has org.freedesktop.impl.portal.PermissionStore
    wait_for "org.freedesktop.impl.portal.desktop.wlr" bus_has org.freedesktop.impl.portal.desktop.wlr
    alive "$XDPW_PID" xdpw
    # backend choice (1.16): per interface, the *.portal whose UseIn= lists an
    # entry of XDG_CURRENT_DESKTOP (wlr.portal: UseIn=wlroots;sway;...)
    "${DENV[@]}" nice -n "$RIG_NICE" /usr/libexec/xdg-desktop-portal --verbose \
        >"$RIG_DIR/xdp.log" 2>&1 &
    PIDS+=($!); XDP_PID=$!
    wait_for "org.freedesktop.portal.Desktop" bus_has org.freedesktop.portal.Desktop
    alive "$XDP_PID" xdp
    # interfaces are exported before the name is taken; verify Screenshot is there
    dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop \
        /org/freedesktop/portal/desktop org.freedesktop.DBus.Properties.Get \
        string:org.freedesktop.portal.Screenshot string:version >/dev/null 2>&1 \
        || die "xdg-desktop-portal does not offer org.freedesktop.portal.Screenshot (see $RIG_DIR/xdp.log)"
fi

log "rig ready in $(( $(now_ms) - T0 )) ms; running: $*"
"$@"
CMD_RC=$?
log "command exited with $CMD_RC"
exit "$CMD_RC"
