#!/bin/bash
# Runs one command inside a private, headless Wayland desktop session and prints its exit status.
#
#   tests/e2e/wayland-session.sh [-s WxH] [-u UID] -- COMMAND [ARGS...]
#
# The session: sway (headless, software rendering, one output, desktop background #336699, Xwayland on),
# a private session bus with XDG_CURRENT_DESKTOP=sway, pipewire, and the desktop portal with the wlroots
# backend (Screenshot, PickColor) and the gtk backend (Access), started on demand by the bus.
# sway refuses to run as root, so when started as root everything runs as UID (default 65534, nobody).
# COMMAND gets WAYLAND_DISPLAY, DISPLAY (Xwayland), DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR, HOME and
# SWAYSOCK (for swaymsg). Files COMMAND must read or write must be reachable by that user.
# Needs: sway swaybg grim xwayland pipewire xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
#        dbus-daemon (Debian 12 packages). Every process of the session is ended when the script ends.
set -u
size=1280x720 uid=65534
while [ $# -gt 0 ]; do
    case $1 in
    -s) size=$2; shift 2 ;;
    -u) uid=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [-s WxH] [-u UID] -- COMMAND [ARGS...]" >&2; exit 64; }

# A private PID namespace: when this script ends, the kernel ends everything the session started.
if [ -z "${WL_SESSION_INNER:-}" ] && [ "$(id -u)" = 0 ]; then
    WL_SESSION_INNER=1 exec unshare --pid --fork --kill-child --mount-proc "$0" -s "$size" -u "$uid" -- "$@"
fi

as=()
[ "$(id -u)" = 0 ] && as=(setpriv "--reuid=$uid" "--regid=$uid" --clear-groups)
W=$(mktemp -d /tmp/wl-session.XXXXXX)
RUN=$W/run
mkdir -p "$RUN" "$W/home"
[ "$(id -u)" = 0 ] && chown -R "$uid:$uid" "$W"
chmod 700 "$RUN"
chmod 755 "$W"
cat >"$W/sway.conf" <<CONF
output HEADLESS-1 resolution $size position 0 0 bg #336699 solid_color
default_border none
xwayland enable
CONF
export XDG_RUNTIME_DIR=$RUN HOME=$W/home XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland \
    NO_AT_BRIDGE=1 GTK_A11Y=none
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK DBUS_SESSION_BUS_ADDRESS
waitfor() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; echo "wayland-session: timed out: $2" >&2; return 1; }

# Display locks that sessions like this one left behind (same user, nobody
# listening on the display's socket) would keep Xwayland from starting.
for lock in /tmp/.X*-lock; do
    [ -O "$lock" ] || [ "$(stat -c %u "$lock" 2>/dev/null)" = "$uid" ] || continue
    n=${lock#/tmp/.X}; n=${n%-lock}
    if ! /usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).connect(sys.argv[1])' \
        "/tmp/.X11-unix/X$n" 2>/dev/null; then
        rm -f "$lock" "/tmp/.X11-unix/X$n"
    fi
done

WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 \
    "${as[@]}" sway -c "$W/sway.conf" >"$W/sway.log" 2>&1 &
sway_pid=$!
# Xwayland's display lock and socket in /tmp outlive a session whose processes
# are killed, and after 33 of them no display number is left: end sway
# properly (it removes them) and remove whatever is left of this display's.
end_session() {
    "${as[@]}" swaymsg exit >/dev/null 2>&1
    for _ in $(seq 50); do kill -0 "$sway_pid" 2>/dev/null || break; sleep 0.1; done
    if [ -n "${DISPLAY:-}" ]; then
        rm -f "/tmp/.X${DISPLAY#:}-lock" "/tmp/.X11-unix/X${DISPLAY#:}"
    fi
}
trap end_session EXIT
waitfor 'ls "$RUN"/wayland-? >/dev/null 2>&1' "sway (see $W/sway.log)" || exit 70
export WAYLAND_DISPLAY=$(basename "$(ls "$RUN"/wayland-? | head -1)")
export SWAYSOCK=$(ls "$RUN"/sway-ipc.*.sock | head -1)
# The document portal needs FUSE, which a test machine may not allow; the
# desktop portal would then wait 25 s for it on its first call. An entry of the
# same name that fails at once takes its place (the first folder listed wins).
mkdir -p "$W/services"
cat >"$W/services/documents.service" <<SERVICE
[D-BUS Service]
Name=org.freedesktop.portal.Documents
Exec=/bin/false
SERVICE
cat >"$W/bus.conf" <<BUS
<busconfig>
  <servicedir>$W/services</servicedir>
  <include>/usr/share/dbus-1/session.conf</include>
</busconfig>
BUS
chmod -R a+rX "$W/services" "$W/bus.conf"
"${as[@]}" dbus-daemon --config-file="$W/bus.conf" --nofork --nopidfile --address="unix:path=$RUN/bus" \
    >"$W/bus.log" 2>&1 &
waitfor '[ -S "$RUN/bus" ]' "session bus" || exit 70
export DBUS_SESSION_BUS_ADDRESS=unix:path=$RUN/bus
"${as[@]}" pipewire >"$W/pipewire.log" 2>&1 &        # the portal's wlroots backend needs it at start
waitfor '[ -S "$RUN/pipewire-0" ]' "pipewire" || exit 70
# sway hands its Xwayland display to the programs it starts: ask one of them.
"${as[@]}" swaymsg exec "printenv DISPLAY > $W/display" >/dev/null
waitfor '[ -s "$W/display" ]' "Xwayland display" || exit 70
export DISPLAY=$(cat "$W/display")

"${as[@]}" "$@"
rc=$?
echo "wayland-session: command exited with $rc (logs in $W)" >&2
exit $rc
