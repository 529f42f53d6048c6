#!/usr/bin/env bash
# Times `tavrin-cli code` as a whole process (start, render, scan, print), best and mean of N runs.
set -euo pipefail
cli=${1:?usage: bench/cli/time_code.sh path/to/tavrin-cli [runs]}
runs=${2:-20}
for leds in 8 16 24 32; do
    best=999999
    total=0
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$cli" code --leds "$leds" --text "旋转点阵 LED 1234567890 旋转点阵 LED 1234567890" >/dev/null
        ms=$((($(date +%s%N) - start) / 1000000))
        total=$((total + ms))
        [ "$ms" -lt "$best" ] && best=$ms
    done
    echo "tavrin-cli code --leds $leds: best ${best} ms, mean $((total / runs)) ms over $runs runs"
done
