#!/usr/bin/env bash
# Scale of vantrel compare: for each number shape, writes two spectral measurement files of N
# patches (default 100,000; 380 to 730 nm every 10 nm), then times `mawk '{ s += $5 } END {
# print s }'` over both files and `vantrel compare` of the two (table to /dev/null), each under
# /usr/bin/time, and prints the wall time and peak memory of both with the files' size.
# Shapes (SHAPES, default all four): percent2 (percent reflectance with two decimals, 47.13,
# as many instruments write it), factors4 (factors with four decimals, 0.4713), percent5
# (47.13245) and factors6 (0.471325).
#   [RUNS=5] [SHAPES="percent2 factors4"] bash bench/measure_scale.sh [BUILD_DIR] [N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
patches=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

write() {  # write FILE SEED SHAPE
    mawk -v n="$patches" -v seed="$2" -v shape="$3" 'BEGIN {
        scale = shape ~ /^percent/ ? 1 : 0.01
        format = shape == "percent2" ? "%.2f" : shape == "factors4" ? "%.4f" : \
                 shape == "percent5" ? "%.5f" : "%.6f"
        fields = "SAMPLE_ID"; count = 1
        for (nm = 380; nm <= 730; nm += 10) { fields = fields " SPECTRAL_NM" nm; count++ }
        print "CGATS.17"; print "ORIGINATOR \"vantrel scale test\""
        print "KEYWORD \"SPECTRAL_NORM\""; print "SPECTRAL_NORM " (scale == 1 ? 100 : 1)
        print "NUMBER_OF_FIELDS " count; print "BEGIN_DATA_FORMAT"; print fields
        print "END_DATA_FORMAT"; print "NUMBER_OF_SETS " n; print "BEGIN_DATA"
        srand(seed)
        for (k = 1; k <= n; k++) {
            row = "P" k; base = 5 + 85 * rand(); slope = (rand() - 0.5) / 4
            for (nm = 380; nm <= 730; nm += 10) {
                v = base + slope * (nm - 555) + rand() * 0.5
                if (v < 0.1) v = 0.1
                row = row " " sprintf(format, v * scale)
            }
            print row
        }
        print "END_DATA" }' > "$1"
}

# Each command runs RUNS times (default 5), the two taking turns, so that both meet the same
# load of the machine; printed are the best and the median wall time, the median processor
# time (user and system, all threads) and the peak memory.
runs=${RUNS:-5}
run() {  # run NAME COMMAND...: appends "wall peak" to $work/NAME
    /usr/bin/time -f '%e %M %U %S' -o "$work/time" "${@:2}" > /dev/null || true
    cat "$work/time" >> "$work/$1"
}
report() {
    sort -n -k3,3 "$work/$1" | awk '{ print $3 + $4 }' | sort -n > "$work/$1.cpu"
    sort -n "$work/$1" | awk -v name="$1" -v cpu="$(sed -n "$(( (runs + 1) / 2 ))p" "$work/$1.cpu")" \
        '{ w[NR] = $1; if ($2 > m) m = $2 }
        END { printf "%-8s wall best %.2f s, median %.2f s; processor median %.2f s; peak %d kB\n",
                     name, w[1], w[int((NR + 1) / 2)], cpu, m }'
}
# The program maps its large blocks in large pages where the system offers them on request;
# the figures depend on it, so the system's setting is named first.
if [ -r /sys/kernel/mm/transparent_hugepage/enabled ]; then
    echo "transparent huge pages: $(sed 's/.*\[\(.*\)\].*/\1/' /sys/kernel/mm/transparent_hugepage/enabled)" \
         "(defrag: $(sed 's/.*\[\(.*\)\].*/\1/' /sys/kernel/mm/transparent_hugepage/defrag))"
fi
for shape in ${SHAPES:-percent2 factors4 percent5 factors6}; do
    write "$work/reference.cgats" 1 "$shape"
    write "$work/sample.cgats" 2 "$shape"
    bytes=$(( $(stat -c %s "$work/reference.cgats") + $(stat -c %s "$work/sample.cgats") ))
    rm -f "$work/mawk" "$work/vantrel"
    echo "$shape: $patches patches each, $bytes bytes together ($(( bytes / 1024 )) kB;" \
         "4 x = $(( 4 * bytes / 1024 )) kB)"
    # The files are read once before timing, so that both commands find them in the page
    # cache.
    cat "$work/reference.cgats" "$work/sample.cgats" > /dev/null
    for _ in $(seq "$runs"); do
        run mawk mawk '{ s += $5 } END { print s }' "$work/reference.cgats" "$work/sample.cgats"
        run vantrel "$build/cli/vantrel" compare "$work/reference.cgats" "$work/sample.cgats"
    done
    report mawk
    report vantrel
done
