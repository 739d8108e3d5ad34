# arm64 Linux with Debian's aarch64 cross compilers (g++-aarch64-linux-gnu).
# The test programs run under qemu-user (qemu-user-static), which ctest and
# gtest_discover_tests call through CMAKE_CROSSCOMPILING_EMULATOR; -L gives
# it the aarch64 loader and libraries. Only the portable kernels exist here,
# as on arm64 Macs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(ZELK_AARCH64_SYSROOT /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH ${ZELK_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
find_program(ZELK_QEMU_AARCH64 qemu-aarch64-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZELK_QEMU_AARCH64} -L ${ZELK_AARCH64_SYSROOT})
