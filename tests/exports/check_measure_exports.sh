#!/bin/sh
# libvantrel_measure exports its namespace vantrel::measure and nothing else, and exports
# something: an empty list means the names could not be read.
#   check_measure_exports.sh LIB [OBJDUMP]
set -eu
names=$(sh "$(dirname "$0")/exported_names.sh" "$1" "${2:-objdump}")
[ -n "$names" ] || { echo "no exported names found in $1"; exit 1; }
if echo "$names" | grep -v 'vantrel::measure::'; then
    echo "exported outside vantrel::measure (above)"
    exit 1
fi
echo "$(echo "$names" | wc -l) exported names, all in vantrel::measure"
