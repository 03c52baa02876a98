#!/bin/sh
# Fails when an object compiled for a wider instruction-set level (a source named *_avx2.cpp or
# *_avx512.cpp) defines code that the linker merges with the copies of other objects (weak
# functions: inline functions, template instances). The copy kept could be the wide one, and
# run on a processor without that level. Weak data, such as the type information that the
# sanitizers add, holds no instructions.
#   check_level_objects.sh NM OBJECT...
set -eu
nm=$1
shift
status=0
checked=0
for object in "$@"; do
    case $object in
        *_avx2.cpp.o | *_avx512.cpp.o) ;;
        *) continue ;;
    esac
    checked=$((checked + 1))
    shared=$("$nm" -C --defined-only "$object" | awk '$2 ~ /^[Wi]$/')
    if [ -n "$shared" ]; then
        echo "$object defines code the linker may share with baseline code:"
        echo "$shared"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "$checked objects of wider levels define no shared code"
exit "$status"
