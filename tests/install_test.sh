#!/usr/bin/env bash
# Installing puts the program and its companion commands in P/bin and their
# manual pages under P/share/man; the commands answer --help from there and
# the manual pages format without a warning.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for command in dist-strike-contour dist-strike-contour-export dist-strike-contour-plot; do
    [[ -x $prefix/bin/$command ]] || { echo "not installed as a program: bin/$command"; exit 1; }
    [[ -e $prefix/share/man/man1/$command.1 ]] || { echo "missing manual page: $command.1"; exit 1; }
    if command -v man >/dev/null 2>&1; then
        warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$command.1" 2>&1 >/dev/null)
        [[ -z $warnings ]] || { echo "$command.1: $warnings"; exit 1; }
    fi
done
for command in dist-strike-contour-export dist-strike-contour-plot; do
    "$prefix/bin/$command" --help | grep -q "^Usage: $command" ||
        { echo "$command --help gives no usage"; exit 1; }
done
echo "installed; manual pages clean"
