#!/usr/bin/env bash
# tavrin-cli.exe under Wine against the Linux tavrin-cli:
# - the same content codes for pictures, and for texts from the same unhinted font file;
# - a write and an erase through COM5, mapped to a pseudo-terminal, arrive byte for byte as the
#   Linux program sends them;
# - a board that hangs up mid-write is a failure, never "written";
# - a port that does not exist is refused in the system's words.
# scripts/windows runs it with LINUX_CLI, WINDOWS_CLI, TAVRIN_WINE_COM5 and a Wine prefix whose
# COM5 points at TAVRIN_WINE_COM5.
set -euo pipefail
: "${LINUX_CLI:?}" "${WINDOWS_CLI:?}" "${TAVRIN_WINE_COM5:?}" "${WINEPREFIX:?}"
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() { echo "PASS: $*"; }


# The pictures: the icon as a wide logo on transparency, and the tiny GIF and JPEG the picture
# readers are fuzzed from (the Windows image plugins must be there).
rsvg-convert --width 320 --height 120 --keep-aspect-ratio --output "$work/logo.png" \
    "$root/data/icons/org.example.Tavrin.svg"
cp "$root/tests/fuzz/corpus/picture/tiny.gif" "$root/tests/fuzz/corpus/picture/tiny.jpg" "$work/"

same_code() {
    local what=$1
    shift
    local linux windows
    linux=$("$LINUX_CLI" code "$@" 2>&1) || true
    windows=$(wine "$WINDOWS_CLI" code "$@" 2>&1 | tr -d '\r') || true
    if [ -z "$linux" ] || [ "$linux" != "$windows" ]; then
        fail "$what: the Windows code differs from the Linux one"
        echo "  linux:   ${linux:0:120}" >&2
        echo "  windows: ${windows:0:120}" >&2
    else
        pass "$what"
    fi
}

for leds in 8 16 24 32; do
    same_code "picture, $leds LEDs" --leds "$leds" --picture "$work/logo.png" --fit height --auto-crop
done
same_code "turned and mirrored picture" --leds 16 --picture "$work/logo.png" --turn 90 --flip left-right --mirror upside-down --fit inside
same_code "GIF picture" --leds 16 --picture "$work/tiny.gif"
same_code "JPEG picture" --leds 16 --picture "$work/tiny.jpg"

# Texts from the same font file. WenQuanYi Zen Hei carries no hinting, so the system's own
# rasterizer on Windows and FreeType on Linux give the same dots; hinted fonts may place a glyph a
# column apart, as each system hints advances its own way.
for leds in 8 16 24 32; do
    same_code "text, $leds LEDs" --leds "$leds" --text "旋转屏 Tavrin 2026" --font "WenQuanYi Zen Hei"
done
same_code "text at 24 pt, mirrored" --leds 32 --text "旋转屏 Tavrin" --font "WenQuanYi Zen Hei" --size 24 --mirror left-right

# What a board receives from a program writing to it: the Linux program on a pseudo-terminal
# of its own, the Windows one through COM5.
receive() {
    local out=$1
    shift
    /usr/bin/python3 "$here/ptyboard.py" --link "$TAVRIN_WINE_COM5" --out "$out" "$@" >"$work/board.log" &
    board=$!
    for _ in $(seq 50); do
        grep -q ready "$work/board.log" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the test board did not start"
}

write_both() {
    local what=$1
    shift
    receive "$work/linux.bin"
    TAVRIN_SERIAL_PORTS="$(readlink "$TAVRIN_WINE_COM5")" "$LINUX_CLI" "$@" --port 1 >/dev/null 2>&1 ||
        fail "$what: the Linux program failed"
    wait "$board"
    receive "$work/windows.bin"
    if wine "$WINDOWS_CLI" "$@" --port "COM 5" >"$work/windows.log" 2>&1; then :; else
        fail "$what: tavrin-cli.exe failed: $(tr -d '\r' <"$work/windows.log")"
    fi
    wait "$board"
    if [ ! -s "$work/linux.bin" ] || ! cmp -s "$work/linux.bin" "$work/windows.bin"; then
        fail "$what: the board received other bytes from Windows ($(stat -c %s "$work/windows.bin") bytes) than from Linux ($(stat -c %s "$work/linux.bin"))"
    else
        pass "$what: $(stat -c %s "$work/windows.bin") bytes, byte for byte"
    fi
}

write_both "write through COM5" write --leds 16 --picture "$work/logo.png" --fit height
write_both "erase through COM5" erase

# A long write whose board hangs up after the first bytes.
receive "$work/pulled.bin" --hang-up-after 64
if wine "$WINDOWS_CLI" write --leds 32 --picture "$work/logo.png" --fit stretch --port "COM 5" \
    >"$work/pulled.log" 2>&1; then
    fail "a write whose board hung up was reported as written"
elif ! grep -q '^tavrin-cli write: ' "$work/pulled.log"; then
    fail "a write whose board hung up failed without saying why: $(tr -d '\r' <"$work/pulled.log")"
else
    # Wine may print a line of its own before the program's.
    pass "a pulled cable is a failure: $(tr -d '\r' <"$work/pulled.log" | grep -m1 '^tavrin-cli write: ')"
fi
wait "$board" || true

# COM20 is not there in the test prefix: the system's words say so.
if wine "$WINDOWS_CLI" write --leds 16 --picture "$work/tiny.gif" --port "COM 20" >"$work/missing.log" 2>&1; then
    fail "a write to a port that does not exist was reported as written"
elif ! grep -qi "COM *20" "$work/missing.log"; then
    fail "the missing port's message does not name it: $(cat "$work/missing.log")"
else
    pass "a missing port is refused: $(tr -d '\r' <"$work/missing.log" | head -1)"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures Windows check(s) failed" >&2
    exit 1
fi
echo "Every Windows check passed"
