#!/bin/sh
# Compares the defined dynamic symbols of libvantrel.so (demangled) with the expected list,
# the union of every *.txt in the given folder (one symbol per line; '#' starts a comment).
set -eu
lib=$1
dir=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
nm -D --defined-only -C "$lib" | sed -E 's/^[0-9a-fA-F]+ [A-Za-z] //' | sort -u > "$tmp/actual"
cat "$dir"/*.txt | sed -e 's/#.*//' -e 's/[[:space:]]*$//' | grep -v '^$' | sort -u > "$tmp/expected"
if ! diff -u "$tmp/expected" "$tmp/actual" > "$tmp/diff"; then
    echo "exported symbols differ from the expected list ('-' missing, '+' unexpected):"
    grep -E '^[-+][^-+]' "$tmp/diff" || true
    exit 1
fi
echo "$(wc -l < "$tmp/actual") exported symbols, as expected"
