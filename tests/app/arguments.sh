#!/usr/bin/env bash
# What tavrin does with its command line before any window: --version and --help answer without a
# display, anything but a single picture is refused with the usage.
set -uo pipefail
tavrin=$1
export TAVRIN_SERIAL_PORTS=/nonexistent/ttyTAVRIN0
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tavrin" --version) || fail "--version failed"
[[ ${out%%$'\n'*} =~ ^tavrin\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tavrin" --help) || fail "--help failed"
[[ $out == "usage: tavrin [PICTURE | PROJECT.tavrin]"* ]] || fail "--help printed: $out"

for args in "one.png two.png" "--bogus" "-x one.png"; do
    # shellcheck disable=SC2086
    err=$(QT_QPA_PLATFORM=offscreen timeout 20 "$tavrin" $args 2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 2 ] || fail "tavrin $args exited $status"
    [[ $err == *"unexpected argument"*"usage: tavrin"* ]] || fail "tavrin $args said: $err"
done
echo "arguments OK"
