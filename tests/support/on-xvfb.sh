#!/usr/bin/env bash
# Runs a command on a private Xvfb display of the given size, with Qt on its
# xcb platform, optionally split into monitors:
#   on-xvfb.sh WIDTHxHEIGHT [NAME:WxH+X+Y ...] -- command [arguments]
set -euo pipefail
size=$1
shift
dir=$(mktemp -d)
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$dir/display" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
read -r -t 20 number <"$dir/display"
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# The first monitor takes Xvfb's one output, which otherwise stays a monitor
# over the whole screen. Physical sizes in millimetres at 96 dots per inch.
output=screen
while [ "$1" != "--" ]; do
    [[ $1 =~ ^(.*):([0-9]+)x([0-9]+)(\+.*)$ ]]
    w=${BASH_REMATCH[2]}
    h=${BASH_REMATCH[3]}
    physical="$w/$((w * 254 / 960))x$h/$((h * 254 / 960))"
    xrandr --setmonitor "${BASH_REMATCH[1]}" "$physical${BASH_REMATCH[4]}" "$output" >/dev/null
    output=none
    shift
done
shift
"$@"
