#!/usr/bin/env bash
# Start-up time and idle memory of Vandrel beside a bare Qt window, measured
# alternately on private Xvfb displays. Prints the median of each.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-7}
tool=../shared/tools/startup.sh
[ -x "$tool" ] || { echo "startup.sh not found at $tool"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/vandrel" "$work/vandrel"

measure() { # title command...
    "$tool" "$@" 2>/dev/null | tr ' ' '\n' | sed -n 's/^startup_ms=//p;s/^rss_kb=//p' | paste -sd' '
}
: >"$work/v"; : >"$work/b"
for _ in $(seq "$runs"); do
    rm -f "$work/Config.ini"
    measure Vandrel "$work/vandrel" >>"$work/v"
    measure BareWindow "$build/bench/bare_window" >>"$work/b"
done
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
v_ms=$(cut -d' ' -f1 "$work/v" | median); v_kb=$(cut -d' ' -f2 "$work/v" | median)
b_ms=$(cut -d' ' -f1 "$work/b" | median); b_kb=$(cut -d' ' -f2 "$work/b" | median)
echo "vandrel:     start-up ${v_ms} ms, resident ${v_kb} KiB (median of $runs)"
echo "bare window: start-up ${b_ms} ms, resident ${b_kb} KiB (median of $runs)"
awk -v v="$v_ms" -v b="$b_ms" 'BEGIN {printf "ratio: %.2f\n", v / b}'
