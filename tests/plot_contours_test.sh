#!/usr/bin/env bash
# The plotting script on a real run's output: a PNG comes out, GMT reads the
# converted table as one segment per ring, and wrong input is refused.
# Exits 77 (reported by CTest as skipped) when GMT is not installed.
# Usage: plot_contours_test.sh PROGRAM PLOT_SCRIPT
set -euo pipefail
program=$1
plot=$2

if ! command -v gmt >/dev/null 2>&1; then
    echo "skipped: gmt is not installed"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

echo "120.5 -33.25 10" | "$program"
"$plot" dist-strike-contour.txt rings.png
[[ $(head -c 8 rings.png | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    { echo "rings.png is not a PNG"; exit 1; }
(($(stat -c %s rings.png) > 20000)) || { echo "rings.png is suspiciously small"; exit 1; }

segments=$("$plot" --table dist-strike-contour.txt | gmt info -As | wc -l)
[[ $segments -eq 18 ]] || { echo "GMT read $segments segments, expected 18 rings"; exit 1; }

echo "not a contour file" >other.txt
if "$plot" other.txt other.png 2>err.txt; then
    echo "a file that is not a contour file was accepted"; exit 1
fi
grep -q "not a contour file" err.txt || { cat err.txt; exit 1; }
if PATH=/nonexistent /bin/bash "$plot" dist-strike-contour.txt x.png 2>err.txt; then
    echo "ran without GMT"; exit 1
fi
grep -q "GMT is not installed" err.txt || { cat err.txt; exit 1; }
echo "plot, segment count and refusals as expected"
