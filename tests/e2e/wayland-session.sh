#!/bin/bash
# Runs one command inside a private, headless Wayland desktop session (1280 x 720 unless given)
# and exits with its status (70: the session did not start; 69: started as root where no private
# PID namespace may be made, as in a container without the right to make namespaces).
#
#   tests/e2e/wayland-session.sh [-s WxH] [-b IMAGE] [--] COMMAND [ARGS...]
#
# The session: sway (headless, software rendering, desktop background #336699, or IMAGE stretched
# over the output with -b, a file the session's user can read; Xwayland on),
# pipewire, and for COMMAND a private session bus (XDG_CURRENT_DESKTOP=sway) that starts the
# desktop portal with the wlroots backend (Screenshot) and the gtk backend (Access) on demand.
# sway refuses to run as root, so when started as root the script runs again as nobody, in a
# private PID namespace that ends every process of the session when the script ends. COMMAND gets
# WAYLAND_DISPLAY, DISPLAY (Xwayland), DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR, HOME and
# SWAYSOCK (for swaymsg); files it reads or writes must be reachable by that user (this script
# need not be).
set -u
size=1280x720 bg=''
while :; do
    case ${1:-} in
    -s) size=$2; shift 2 ;;
    -b) bg=$(readlink -f "$2"); shift 2 ;;
    --) shift; break ;;
    *) break ;;
    esac
done
if [ "$(id -u)" = 0 ]; then
    namespace=(unshare --pid --fork --kill-child --mount-proc)
    if ! refused=$("${namespace[@]}" true 2>&1); then
        echo "wayland-session: run as root, the session needs a private PID namespace, which" \
            "this machine refuses (the right to make namespaces, CAP_SYS_ADMIN): $refused" >&2
        exit 69
    fi
    # NOTE: nobody may be unable to read this file where it lies (a checkout under /root, which
    # is private to root): the script runs again from its text, read here by root.
    exec "${namespace[@]}" setpriv --reuid=65534 --regid=65534 --clear-groups \
        /bin/bash -c "$(cat "$0")" "$0" -s "$size" ${bg:+-b "$bg"} -- "$@"
fi
background="#336699 solid_color"
[ -n "$bg" ] && background="$bg stretch"
W=$(mktemp -d /tmp/wl-session.XXXXXX) # private to its user, as a runtime folder must be
mkdir -p "$W/home" "$W/services"
printf '%s\n' "output HEADLESS-1 resolution $size bg $background" 'default_border none' \
    'xwayland enable' >"$W/sway.conf"
# The document portal needs FUSE, which a test machine may not allow; the desktop portal would
# then wait 25 s for it on its first call. An entry of the same name that fails at once takes
# its place (the first folder listed wins).
printf '[D-BUS Service]\nName=org.freedesktop.portal.Documents\nExec=/bin/false\n' \
    >"$W/services/documents.service"
printf '<busconfig><servicedir>%s</servicedir><include>%s</include></busconfig>\n' \
    "$W/services" /usr/share/dbus-1/session.conf >"$W/bus.conf"
export XDG_RUNTIME_DIR=$W HOME=$W/home XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland \
    NO_AT_BRIDGE=1 GTK_A11Y=none
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK DBUS_SESSION_BUS_ADDRESS
waitfor() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; echo "wayland-session: timed out: $2" >&2; return 1; }
# Display locks that sessions like this one left behind (our user, nobody listening on the
# display's socket) would keep Xwayland from starting: its check of the process in the lock
# is fooled by the PID namespace.
for lock in /tmp/.X*-lock; do
    n=${lock//[^0-9]/}
    [ -O "$lock" ] || continue
    /usr/bin/python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).connect(sys.argv[1])' \
        "/tmp/.X11-unix/X$n" 2>/dev/null || rm -f "$lock" "/tmp/.X11-unix/X$n"
done

WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 \
    sway -c "$W/sway.conf" >"$W/sway.log" 2>&1 &
sway_pid=$!
# Xwayland's display lock and socket in /tmp outlive a session whose processes are killed, and
# after 33 of them no display number is left: end sway properly (it removes them) and remove
# whatever is left of this display's.
end_session() {
    swaymsg exit >/dev/null 2>&1
    for _ in $(seq 50); do kill -0 "$sway_pid" 2>/dev/null || break; sleep 0.1; done
    [ -n "${DISPLAY:-}" ] && rm -f "/tmp/.X${DISPLAY#:}-lock" "/tmp/.X11-unix/X${DISPLAY#:}"
}
trap end_session EXIT
waitfor 'ls "$W"/wayland-? >/dev/null 2>&1' "sway (see $W/sway.log)" || exit 70
export WAYLAND_DISPLAY=$(basename "$(ls "$W"/wayland-? | head -1)")
export SWAYSOCK=$(ls "$W"/sway-ipc.*.sock | head -1)
pipewire >"$W/pipewire.log" 2>&1 & # the portal's wlroots backend needs it at start
waitfor '[ -S "$W/pipewire-0" ]' "pipewire" || exit 70
# sway hands its Xwayland display to the programs it starts: ask one of them.
swaymsg exec "printenv DISPLAY > $W/display" >/dev/null
waitfor '[ -s "$W/display" ]' "Xwayland display" || exit 70
export DISPLAY=$(cat "$W/display")
dbus-run-session --config-file="$W/bus.conf" -- "$@"
