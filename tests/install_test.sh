#!/usr/bin/env bash
# Installing puts the program, its manual page and the plotting script under
# the prefix; the manual page formats without a warning.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for path in bin/dist-strike-contour share/man/man1/dist-strike-contour.1 \
    share/dist-strike-contour/plot-contours; do
    [[ -e $prefix/$path ]] || { echo "missing after install: $path"; exit 1; }
done
[[ -x $prefix/bin/dist-strike-contour ]] || { echo "program not executable"; exit 1; }

if command -v man >/dev/null 2>&1; then
    warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/dist-strike-contour.1" 2>&1 >/dev/null)
    [[ -z $warnings ]] || { echo "$warnings"; exit 1; }
fi
echo "installed and manual page clean"
