#!/usr/bin/env bash
# Runs a command on a private Xvfb display of the given size, with Qt on its
# xcb platform, optionally split into monitors:
#   on-xvfb.sh WIDTHxHEIGHT [NAME:WxH+X+Y ...] -- command [arguments]
set -euo pipefail
size=$1
shift
monitors=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    monitors+=("$1")
    shift
done
[ $# -gt 0 ] && shift

dir=$(mktemp -d)
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$dir/display" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
read -r -t 20 number <"$dir/display"
export DISPLAY=":$number"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# The first monitor takes Xvfb's one output, which otherwise stays a monitor
# over the whole screen.
output=screen
for monitor in "${monitors[@]}"; do
    name=${monitor%%:*}
    geometry=${monitor#*:}
    width=${geometry%%x*}
    rest=${geometry#*x}
    height=${rest%%+*}
    offset=${rest#*+}
    # Physical size in millimetres at 96 dots per inch.
    xrandr --setmonitor "$name" \
        "$width/$((width * 254 / 960))x$height/$((height * 254 / 960))+$offset" "$output" >/dev/null
    output=none
done
"$@"
