#!/usr/bin/env bash
# Starts the program under Xvfb and waits for its window to be mapped.
set -u
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export TAVRIN_SERIAL_PORTS=/nonexistent/ttyTAVRIN0
export XDG_CONFIG_HOME="$work" # no stored language choice
unset QT_QPA_PLATFORM
exec xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    "$0" & pid=$!
    for _ in $(seq 1 100); do
        if xwininfo -root -tree 2>/dev/null | grep -qE "\"Tavrin(！|!)"; then
            kill -0 "$pid" || exit 1
            kill "$pid"; wait "$pid" 2>/dev/null
            echo "window shown"; exit 0
        fi
        kill -0 "$pid" 2>/dev/null || { echo "tavrin exited early" >&2; exit 1; }
        sleep 0.1
    done
    echo "no window within 10 s" >&2; kill "$pid"; exit 1
' "$binary"
