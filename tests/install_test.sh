#!/usr/bin/env bash
# Installing puts the program and its companion commands in P/bin and their
# manual pages under P/share/man; the commands answer --help and --version
# from there, the manual pages format without a warning, and the README's
# Python recipe runs on the export's CSV (where numpy is installed) and its
# GMT recipe without a word on standard error (where GMT is installed).
# Usage: install_test.sh BUILD_DIR README VERSION
set -euo pipefail
build=$1
readme=$2
version=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for command in dist-strike-contour dist-strike-contour-export dist-strike-contour-plot \
        dist-strike-contour-measure; do
    [[ -x $prefix/bin/$command ]] || { echo "not installed as a program: bin/$command"; exit 1; }
    [[ -e $prefix/share/man/man1/$command.1.gz ]] || { echo "missing manual page: $command.1.gz"; exit 1; }
    if command -v man >/dev/null 2>&1; then
        warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$command.1.gz" 2>&1 >/dev/null)
        [[ -z $warnings ]] || { echo "$command.1: $warnings"; exit 1; }
    fi
done
for command in dist-strike-contour-export dist-strike-contour-plot dist-strike-contour-measure; do
    "$prefix/bin/$command" --help | grep -q "^Usage: $command" ||
        { echo "$command --help gives no usage"; exit 1; }
    [[ $("$prefix/bin/$command" --version) == "$command $version" ]] ||
        { echo "$command --version does not give $version"; exit 1; }
done

# Debian's python3 first: numpy comes as the package python3-numpy.
export PATH=/usr/bin:$PATH
if python3 -c "import numpy" 2>/dev/null; then
    cd "$prefix"
    echo "120.5 -33.25 10" | bin/dist-strike-contour
    bin/dist-strike-contour-export --format csv > rings.csv
    recipe=$(grep -m1 '^    python3 -c' "$readme")
    counts=$(eval "$recipe")
    [[ $counts == "{10: 361, 20: 361,"* ]] || { echo "README recipe printed: $counts"; exit 1; }
fi
if command -v gmt >/dev/null 2>&1; then
    cd "$prefix"
    echo "120.5 -33.25 10" | bin/dist-strike-contour
    PATH=$prefix/bin:$PATH
    recipe=$(grep -m1 '^    gmt begin rings png' "$readme")
    said=$(export HOME=$prefix; dist-strike-contour-export > rings.txt && eval "$recipe" 2>&1)
    [[ -z $said && -s rings.png ]] || { echo "README GMT recipe said: $said"; exit 1; }
fi
echo "installed; manual pages clean"
