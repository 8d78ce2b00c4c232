# linux.arm64 from Linux with Debian's aarch64 cross compiler; the tests run under qemu
# with the cross sysroot as the dynamic loader's root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)

set(sysroot /usr/${triple})
set(CMAKE_FIND_ROOT_PATH ${sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(VANTREL_QEMU_AARCH64 qemu-aarch64)
if(VANTREL_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_QEMU_AARCH64} -L ${sysroot})
endif()
