#!/bin/sh
# Prints the names a shared library exports, demangled, one a line: the defined dynamic
# symbols of an ELF library, or the export table of a Windows DLL (read with OBJDUMP, the
# toolchain's objdump).
#   exported_names.sh LIB [OBJDUMP]
set -eu
lib=$1
objdump=${2:-objdump}
case "$lib" in
    *.dll)
        "$objdump" -p "$lib" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
            sed -nE 's/^[[:space:]]*\[[[:space:]]*[0-9]+\] (.*)$/\1/p' | c++filt ;;
    *)
        nm -D --defined-only -C "$lib" | sed -E 's/^[0-9a-fA-F]+ [A-Za-z] //' ;;
esac
