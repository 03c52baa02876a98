#!/bin/sh
# Compares the names libvantrel exports (the dynamic symbols of the ELF library, the export
# table of the DLL; demangled) with the expected list, the union of every *.txt in the given
# folder (one symbol per line; '#' starts a comment).
#   check_exports.sh LIB DIR [OBJDUMP]
set -eu
lib=$1
dir=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sh "$(dirname "$0")/exported_names.sh" "$lib" "${3:-objdump}" | sort -u > "$tmp/actual"
cat "$dir"/*.txt | sed -e 's/#.*//' -e 's/[[:space:]]*$//' | grep -v '^$' | sort -u > "$tmp/expected"
# A DLL exports a class's type information without the name string inside it (a host reaches
# the name through the type information), where ELF exports both.
case "$lib" in
    *.dll) grep -v '^typeinfo name for ' "$tmp/expected" > "$tmp/pe" && mv "$tmp/pe" "$tmp/expected" ;;
esac
if ! diff -u "$tmp/expected" "$tmp/actual" > "$tmp/diff"; then
    echo "exported symbols differ from the expected list ('-' missing, '+' unexpected):"
    grep -E '^[-+][^-+]' "$tmp/diff" || true
    exit 1
fi
echo "$(wc -l < "$tmp/actual") exported symbols, as expected"
