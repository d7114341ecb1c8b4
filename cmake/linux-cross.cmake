# Cross-compiles for another processor with one of Debian's g++ cross
# compilers, named by its GNU triple; the programs run under qemu-user.
#   cmake -S . -B build-aarch64 --toolchain cmake/linux-cross.cmake \
#     -DMOLAGIRLIK_TRIPLE=aarch64-linux-gnu
#   qemu-aarch64-static -L /usr/aarch64-linux-gnu build-aarch64/molagirlik
# Checked with aarch64-linux-gnu, s390x-linux-gnu and i686-linux-gnu.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MOLAGIRLIK_TRIPLE)
if(NOT MOLAGIRLIK_TRIPLE)
  message(FATAL_ERROR "Say which processor: -DMOLAGIRLIK_TRIPLE=aarch64-linux-gnu")
endif()
set(CMAKE_SYSTEM_NAME Linux)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${MOLAGIRLIK_TRIPLE}")
set(CMAKE_C_COMPILER ${MOLAGIRLIK_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${MOLAGIRLIK_TRIPLE}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${MOLAGIRLIK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# qemu's name for the processor: i686 is qemu-i386.
string(REGEX REPLACE "^i[3-6]86$" "i386" qemu_processor "${CMAKE_SYSTEM_PROCESSOR}")
find_program(MOLAGIRLIK_QEMU qemu-${qemu_processor}-static)
if(MOLAGIRLIK_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MOLAGIRLIK_QEMU} -L /usr/${MOLAGIRLIK_TRIPLE})
endif()
