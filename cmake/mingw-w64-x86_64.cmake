# Cross-compiles for 64-bit Windows with Debian's MinGW-w64, the posix-thread
# compiler (GoogleTest needs its std::mutex). Test programs run under Wine
# when it is installed, with a Wine prefix of their own in the build folder.
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian puts wine64 beside Wine's other programs, not on PATH. Debian's
# wine64 has no preloader, so its heap lands at random and, about one start
# in 5,000, on the page Wine must map for itself: Wine then ends with status
# 1 before the program starts. Without address randomisation (setarch -R)
# the heap stays far below that page.
find_program(MOLAGIRLIK_WINE64 wine64 PATHS /usr/lib/wine)
if(MOLAGIRLIK_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR setarch -R env
    WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
    WINEDLLOVERRIDES=winemenubuilder.exe=d ${MOLAGIRLIK_WINE64})
endif()
