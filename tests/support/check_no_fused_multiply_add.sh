#!/bin/sh
# Fails when one of the given binaries contains a fused multiply-add instruction (x86 FMA,
# ARM scalar or vector) outside the functions that use one on purpose. Results are fixed to
# the bit with a rounding after every product, so no code may contract a * b + c, which GCC
# for ARM does unless told not to.
#   check_no_fused_multiply_add.sh OBJDUMP ALLOWED BINARY...
# ALLOWED is an extended regular expression matched against the demangled name of the
# function that holds the instruction.
set -eu
objdump=$1
allowed=$2
shift 2
status=0
for binary in "$@"; do
    found=$("$objdump" -d -C --no-show-raw-insn "$binary" | awk -v allowed="$allowed" '
        /^[0-9a-f]+ <.*>:$/ { current = $0; next }
        /[[:space:]](vfn?m(add|sub)[0-9a-z]*|fn?m(add|sub)|fml[as])[[:space:]]/ {
            if (current !~ allowed) print current "\n" $0
        }' | head -n 10)
    if [ -n "$found" ]; then
        echo "$binary has fused multiply-add instructions:"
        echo "$found"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "no fused multiply-add in $# binaries but where allowed"
exit "$status"
