# Cross-building the Windows programs on Debian with mingw-w64, the "posix"
# threading flavour (std::thread and std::mutex need it; the "win32" flavour
# has neither). Used by the `windows` preset:
#
#   cmake --preset windows && cmake --build --preset windows
#
# The programs are linked statically (the C++ runtime, libgcc and
# winpthread included), so a .exe runs on a bare Windows 10 or later with
# no DLL beside it. Tests run under Wine: ctest, and the test discovery,
# start every .exe through the emulator below, in a Wine prefix of the
# build folder's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORSKAL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORSKAL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORSKAL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VORSKAL_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; programs of the build machine.
# Header-only packages of the build machine are brought in by
# cmake/cross_packages.cmake, never through the build machine's include root.
set(CMAKE_FIND_ROOT_PATH /usr/${VORSKAL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    wine)
