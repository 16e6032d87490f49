#!/usr/bin/env bash
# The export and plot commands on real runs: what GDAL and GMT read from
# them, gaps instead of chords near a pole, pictures in two formats, and
# every refusal. Exits 77 (reported by CTest as skipped) when GMT or GDAL is
# not installed.
# Usage: companion_commands_test.sh PROGRAM SCRIPTS_DIR
set -euo pipefail
program=$1
export_command=$2/dist-strike-contour-export
plot=$2/dist-strike-contour-plot

for tool in gmt ogr2ogr ogrinfo; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir perth pole
(cd perth && echo "120.5 -33.25 10" | "$program")
(cd pole && echo "0 -89.9 5" | "$program" >/dev/null 2>&1)

problem() { echo "$*"; exit 1; }

# GMT: one segment per ring, each with its -Z, distances 10 to 170.
"$export_command" --format gmt perth/dist-strike-contour.txt >rings.txt
[[ $(gmt info -As rings.txt | wc -l) -eq 17 ]] || problem "GMT did not read 17 segments"
[[ $(grep '^>' rings.txt | awk '{ print $2 }' | paste -sd' ') == \
   "$(seq 10 10 170 | sed 's/^/-Z/' | paste -sd' ')" ]] || problem "segment headers lack the ring distances"

# GDAL: one feature per ring with its distance attribute.
"$export_command" --format ogr perth/dist-strike-contour.txt >rings.gmt
ogrinfo -al rings.gmt >rings.info
grep -q "Geometry: Line String" rings.info || problem "GDAL did not read LineStrings"
[[ $(grep -c "distance (Integer) = " rings.info) -eq 17 ]] || problem "GDAL did not read 17 features"
[[ $(sed -n 's/.*distance (Integer) = //p' rings.info | paste -sd' ') == "$(seq 10 10 170 | paste -sd' ')" ]] ||
    problem "GDAL read the wrong distances"

# GeoJSON: one feature per ring, every longitude within -180..180, and no
# line jumping across the map from one side of the antimeridian to the
# other: rings that cross it are split there. Near a pole every ring
# crosses it, in steps GDAL alone does not split.
expect_geojson() {
    local contour=$1 rings=$2
    "$export_command" --format geojson "$contour" >rings.geojson
    ogrinfo -so -al rings.geojson >geojson.info
    grep -q "Feature Count: $rings\$" geojson.info || problem "$contour: not $rings GeoJSON features"
    local west east
    read -r west east < <(sed -n 's/^Extent: (\([^,]*\),.*) - (\([^,]*\),.*/\1 \2/p' geojson.info)
    awk -v w="$west" -v e="$east" 'BEGIN { exit !(w >= -180 && e <= 180) }' ||
        problem "$contour: GeoJSON longitudes reach $west..$east"
    ogrinfo -al rings.geojson | awk '
        /^  (MULTI)?LINESTRING/ {
            gsub(/[A-Z]+ \(/, ""); n = split($0, parts, /\),\(/)
            for (p = 1; p <= n; p++) {
                gsub(/[()]/, "", parts[p]); m = split(parts[p], points, ",")
                for (i = 2; i <= m; i++) {
                    split(points[i - 1], a, " "); split(points[i], b, " ")
                    if (a[1] - b[1] > 180 || b[1] - a[1] > 180) jumps++
                }
            }
        }
        END { exit jumps > 0 }
    ' || problem "$contour: a GeoJSON line jumps across the antimeridian"
}
expect_geojson perth/dist-strike-contour.txt 17
expect_geojson pole/dist-strike-contour.txt 35

# Gaps, not chords, where positions are unresolved: near a pole, and at the
# north pole of the run around (0, 45), which is the first position of the
# ring at 45 degrees. Every exported point is a point of its
# ring (distance check equal to the ring distance), no point repeats the one
# before it, and the rings come out in more pieces than there are rings.
expect_gaps() {
    local contour=$1 rings=$2
    "$export_command" --format gmt "$contour" >pieces.txt
    awk -v rings="$rings" '
        FNR == NR { if ($0 != " >" && $3 == $5) ring_point[$3 " " $1 " " $2] = 1; next }
        /^#/ { next }
        /^>/ { ring = substr($2, 3); previous = ""; pieces++; next }
        !((ring " " $1 " " $2) in ring_point) { print "not a point of ring " ring ": " $0; bad = 1 }
        $0 == previous { print "repeated point: " $0; bad = 1 }
        { previous = $0 }
        END { if (pieces <= rings) { print pieces " pieces for " rings " rings"; bad = 1 }; exit bad }
    ' "$contour" pieces.txt || problem "$contour: the rings join held points"
}
expect_gaps pole/dist-strike-contour.txt 35
mkdir mid
(cd mid && echo "0 45 5" | "$program" >/dev/null)
expect_gaps mid/dist-strike-contour.txt 35

# Pictures, chosen by the extension, with a title and a regional extent.
"$plot" --title "Perth" perth/dist-strike-contour.txt map.png
[[ $(head -c 8 map.png | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || problem "map.png is not a PNG"
"$plot" --max-distance 30 pole/dist-strike-contour.txt map.pdf
[[ $(head -c 5 map.pdf) == "%PDF-" ]] || problem "map.pdf is not a PDF"

# Refusals: status and a message that starts with the command's name.
# Usage: expect_refusal STATUS COMMAND_NAME TEXT COMMAND...
expect_refusal() {
    local status=$1 name=$2 text=$3
    shift 3
    local actual=0
    "$@" >/dev/null 2>err.txt || actual=$?
    [[ $actual -eq $status ]] || problem "exit status $actual, not $status: $*"
    [[ $(head -c $((${#name} + 2)) err.txt) == "$name: " ]] ||
        problem "message does not start with $name: $(cat err.txt)"
    grep -q "$text" err.txt || problem "message lacks \"$text\": $(cat err.txt)"
}
export_name=dist-strike-contour-export
plot_name=dist-strike-contour-plot
echo "not a contour file" >other.txt
expect_refusal 1 $export_name "not a contour file" "$export_command" --format gmt other.txt
expect_refusal 1 $plot_name "not a contour file" "$plot" other.txt other.png
expect_refusal 1 $export_name "unknown format" "$export_command" --format kml perth/dist-strike-contour.txt
expect_refusal 1 $plot_name "unknown picture format" "$plot" perth/dist-strike-contour.txt map.svg
expect_refusal 1 $plot_name "missing/dir: no such directory" \
    "$plot" perth/dist-strike-contour.txt missing/dir/map.png
# Without GDAL or GMT on the path (the other tools the commands use stay).
mkdir bare
for tool in awk sed mktemp rm dirname readlink iconv mv cat; do
    ln -s "$(command -v "$tool")" "bare/$tool"
done
expect_refusal 2 $export_name "gdal-bin" \
    env PATH="$PWD/bare" /bin/bash "$export_command" --format geojson perth/dist-strike-contour.txt
expect_refusal 2 $plot_name "gmt-gshhg-low" \
    env PATH="$PWD/bare" /bin/bash "$plot" perth/dist-strike-contour.txt map.png
echo "export and plot as expected"
