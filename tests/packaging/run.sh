#!/bin/sh
# Installs the build into a scratch prefix and builds the README's example and a host of the
# measurement library against it, once through the CMake package and once through pkg-config,
# and runs them.
#   run.sh BUILD SOURCE CXX [TOOLCHAIN_FILE [EMULATOR ...]]
# A build for another processor passes its toolchain file, with which the consumers are built
# too, and the emulator that runs the consumers' programs.
set -eu
build=$1
source=$2
cxx=$3
toolchain=${4:-}
shift 3
if [ $# -gt 0 ]; then shift; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" > "$work/install.log"

# The example in README.md, between its markers, is the consumer's program.
sed -n '/<!-- example:begin -->/,/<!-- example:end -->/p' "$source/README.md" |
    sed -e '/^<!--/d' -e '/^```/d' > "$work/example.cpp"
test -s "$work/example.cpp" || { echo "no example found in README.md"; exit 1; }

mkdir "$work/consumer"
cp "$source/tests/packaging/consumer/CMakeLists.txt" \
   "$source/tests/packaging/consumer/measure_main.cpp" "$work/consumer/"
cp "$work/example.cpp" "$work/consumer/main.cpp"
if [ -n "$toolchain" ]; then
    cmake -S "$work/consumer" -B "$work/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" > "$work/cmake.log"
else
    cmake -S "$work/consumer" -B "$work/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_CXX_COMPILER="$cxx" > "$work/cmake.log"
fi
cmake --build "$work/consumer/build" > "$work/build.log"
# Both consumers carry the prefix's library folder as run path (CMake gives it to programs in
# their build tree), which reaches an emulated program where LD_LIBRARY_PATH may not. Windows
# consumers link the compiler's runtime DLLs, as MinGW-w64 programs do by default, and find
# them and the package's DLLs (in bin/) through Wine's search path.
exe="" link="-Wl,-rpath,$prefix/lib" WINEPATH=""
if [ -f "$work/consumer/build/consumer.exe" ]; then
    exe=.exe link=""
    for dll in libstdc++-6.dll libwinpthread-1.dll; do
        WINEPATH="$WINEPATH;$(dirname "$("$cxx" -print-file-name=$dll)")"
    done
fi
export LD_LIBRARY_PATH="$prefix/lib" WINEPATH="$prefix/bin$WINEPATH"
"$@" "$work/consumer/build/consumer$exe" > "$work/out.cmake"

libdir=$(ls -d "$prefix"/lib*/pkgconfig | head -n 1)
PKG_CONFIG_PATH="$libdir" "$cxx" -std=c++17 "$work/example.cpp" -o "$work/pc-consumer$exe" \
    $(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs vantrel) $link
"$@" "$work/pc-consumer$exe" > "$work/out.pc"
"$@" "$work/consumer/build/measure_consumer$exe" >> "$work/out.cmake"
PKG_CONFIG_PATH="$libdir" "$cxx" -std=c++17 "$work/consumer/measure_main.cpp" \
    -o "$work/pc-measure-consumer$exe" \
    $(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs vantrel-measure) $link
"$@" "$work/pc-measure-consumer$exe" >> "$work/out.pc"

# Programs of the consumer write text: CR-LF line ends on Windows.
for out in "$work/out.cmake" "$work/out.pc"; do
    tr -d '\r' < "$out" > "$out.lf" && mv "$out.lf" "$out"
done
cmp "$work/out.cmake" "$work/out.pc"
grep -q '^dE00 2.0425 FAIL$' "$work/out.cmake"
grep -q '^empty: not a CGATS file' "$work/out.cmake"
cat "$work/out.cmake"
