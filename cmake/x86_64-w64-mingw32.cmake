# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers; programs and tests run
# under Wine. scripts/cross-test windows installs all of it, builds the libraries that Debian
# has no MinGW package of (GoogleTest, libpng, Little CMS) into a prefix and uses this file:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix compilers by their full names: the win32 thread model has no std::thread or
# std::mutex, and the plain names follow whichever model update-alternatives chose.
set(VANTREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTREL_MINGW_TRIPLE}-windres)

# The prefix of the libraries built from Debian's sources (VANTREL_WINDOWS_DEPS, by default
# build-windows/deps of this checkout), then MinGW's own folder (zlib, the Win32 import
# libraries). Nothing is taken from the native system.
if(DEFINED ENV{VANTREL_WINDOWS_DEPS})
    set(VANTREL_WINDOWS_DEPS $ENV{VANTREL_WINDOWS_DEPS})
else()
    get_filename_component(VANTREL_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build-windows/deps
                           ABSOLUTE)
endif()
set(CMAKE_FIND_ROOT_PATH ${VANTREL_WINDOWS_DEPS} /usr/${VANTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CMake packages also where CMAKE_PREFIX_PATH names them as they are (an installed Vantrel for
# a consumer); the prefixes above come first.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# Static archives only: every DLL and program carries what it links, so that neither Wine nor
# a Windows machine needs MinGW's DLLs (zlib's import library is never chosen).
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(ZLIB_LIBRARY /usr/${VANTREL_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "zlib, static")
set(ENV{PKG_CONFIG_LIBDIR}
    "${VANTREL_WINDOWS_DEPS}/lib/pkgconfig:/usr/${VANTREL_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Programs run under Wine, headless, in a Wine prefix of their own (VANTREL_WINEPREFIX, by
# default wine/ beside the deps prefix), which scripts/cross-test windows initialises.
if(DEFINED ENV{VANTREL_WINEPREFIX})
    set(VANTREL_WINEPREFIX $ENV{VANTREL_WINEPREFIX})
else()
    get_filename_component(VANTREL_WINEPREFIX ${VANTREL_WINDOWS_DEPS}/../wine ABSOLUTE)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${VANTREL_WINEPREFIX} WINEDEBUG=-all wine)
