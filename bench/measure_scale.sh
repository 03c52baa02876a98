#!/usr/bin/env bash
# Scale of vantrel compare: writes two spectral measurement files of N patches (default
# 100,000; 380 to 730 nm every 10 nm, percent reflectance with two decimals, as instruments
# write them), then times `mawk '{ s += $5 } END { print s }'` over both files and `vantrel
# compare` of the two (table to /dev/null), each under /usr/bin/time -v, and prints the wall
# time and peak memory of both with the files' size.
#   bash bench/measure_scale.sh [BUILD_DIR] [N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
patches=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

write() {  # write FILE SEED
    mawk -v n="$patches" -v seed="$2" 'BEGIN {
        fields = "SAMPLE_ID"; count = 1
        for (nm = 380; nm <= 730; nm += 10) { fields = fields " SPECTRAL_NM" nm; count++ }
        print "CGATS.17"; print "ORIGINATOR \"vantrel scale test\""
        print "NUMBER_OF_FIELDS " count; print "BEGIN_DATA_FORMAT"; print fields
        print "END_DATA_FORMAT"; print "NUMBER_OF_SETS " n; print "BEGIN_DATA"
        srand(seed)
        for (k = 1; k <= n; k++) {
            row = "P" k; base = 5 + 85 * rand(); slope = (rand() - 0.5) / 4
            for (nm = 380; nm <= 730; nm += 10) {
                v = base + slope * (nm - 555) + rand() * 0.5
                if (v < 0.1) v = 0.1
                row = row " " sprintf("%.2f", v)
            }
            print row
        }
        print "END_DATA" }' > "$1"
}
write "$work/reference.cgats" 1
write "$work/sample.cgats" 2
bytes=$(( $(stat -c %s "$work/reference.cgats") + $(stat -c %s "$work/sample.cgats") ))

measure() {  # measure LABEL COMMAND...: prints wall seconds and peak resident kilobytes
    /usr/bin/time -v "${@:2}" > /dev/null 2> "$work/time" || true
    local wall peak
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time")
    peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
    printf '%-8s wall %s  peak %s kB\n' "$1" "$wall" "$peak"
}
echo "files: $patches patches each, $bytes bytes together ($(( bytes / 1024 )) kB; 4 x = $(( 4 * bytes / 1024 )) kB)"
# The files are read once before timing, so that both commands find them in the page cache.
cat "$work/reference.cgats" "$work/sample.cgats" > /dev/null
measure mawk mawk '{ s += $5 } END { print s }' "$work/reference.cgats" "$work/sample.cgats"
measure vantrel "$build/cli/vantrel" compare "$work/reference.cgats" "$work/sample.cgats"
