# Cross-builds for 64-bit ARM Linux with Debian's cross compiler and the arm64 libraries that
# multiarch installs beside the native ones; programs and tests run under qemu's user-mode
# emulation. scripts/cross-test aarch64 installs all of it and uses this file:
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Libraries, CMake packages and pkg-config files come from the arm64 multiarch folders only,
# never from the native ones.
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The cross toolchain's own loader and C library, which its libstdc++ was built with; the
# arm64 libraries of multiarch (Little CMS, libpng, zlib) are found through the system's
# search paths. The loader's folder must come first in the search path as well: otherwise
# the multiarch C library is paired with the cross loader and a program that starts a thread
# hangs.
set(VANTREL_CROSS_SYSROOT /usr/aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-aarch64 -L ${VANTREL_CROSS_SYSROOT} -E LD_LIBRARY_PATH=${VANTREL_CROSS_SYSROOT}/lib)
