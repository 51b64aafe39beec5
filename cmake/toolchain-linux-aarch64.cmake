# Build for 64-bit ARM Linux on an x86 Linux host with Debian's cross compilers
# (g++-aarch64-linux-gnu). The project's -ffp-contract=off matters most here: GCC fuses a * b + c
# into one multiply-add by default on this processor, which would change the results' bits.
# Programs built with it run on the host under qemu's user-mode emulation (qemu-user), with the
# ARM runtime libraries that the cross compilers bring.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
find_program(CMAKE_C_COMPILER NAMES aarch64-linux-gnu-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES aarch64-linux-gnu-g++ REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
find_program(OSTREL2_QEMU_AARCH64 NAMES qemu-aarch64 qemu-aarch64-static)
if(OSTREL2_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${OSTREL2_QEMU_AARCH64} -L /usr/aarch64-linux-gnu)
endif()
