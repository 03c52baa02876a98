#!/bin/sh
# Fails when one of the given binaries contains a fused multiply-add instruction (x86 FMA,
# ARM scalar or vector). Results are fixed to the bit with a rounding after every product,
# so no code may contract a * b + c, which GCC for ARM does unless told not to.
#   check_no_fused_multiply_add.sh OBJDUMP BINARY...
set -eu
objdump=$1
shift
status=0
for binary in "$@"; do
    found=$("$objdump" -d --no-show-raw-insn "$binary" |
        grep -E '[[:space:]](vfn?m(add|sub)[0-9a-z]*|fn?m(add|sub)|fml[as])[[:space:]]' |
        head -n 5 || true)
    if [ -n "$found" ]; then
        echo "$binary has fused multiply-add instructions:"
        echo "$found"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "no fused multiply-add in $# binaries"
exit "$status"
