#!/bin/bash
# The catalogues are complete and up to date: collecting the texts again from the sources finds
# nothing new, nothing unfinished and nothing gone.
# usage: translations.sh LUPDATE SOURCE_ROOT INCLUDE_ROOT
set -euo pipefail
lupdate=$1
root=$2
includes=()
for dir in "$3"/*/; do
    includes+=(-I "$dir")
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

sources=("$root"/src/app/*.cpp "$root"/src/app/*.h "$root"/src/contact/contact.cpp "$root"/src/hex/firmware.cpp)
for ts in "$root"/translations/*.ts; do
    name=$(basename "$ts")
    grep -q 'type="unfinished"' "$ts" && fail "$name has unfinished entries"
    grep -qE 'type="(vanished|obsolete)"' "$ts" && fail "$name keeps texts the program no longer has"
    cp "$ts" "$work/$name"
    "$lupdate" -silent -source-language zh_CN -no-obsolete -locations none "${includes[@]}" "${sources[@]}" \
        -ts "$work/$name"
    grep -q 'type="unfinished"' "$work/$name" && fail "$name lacks texts the sources have: $(grep -B3 'type="unfinished"' "$work/$name" | grep '<source>' | head -5)"
    cmp -s "$ts" "$work/$name" || fail "$name is not up to date with the sources; run: cmake --build build --target update_translations"
done
echo "translations complete"
