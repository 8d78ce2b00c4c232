# Clang 14 with LLVM's libc++, the standard library of the macOS, iOS, Android and web
# toolchains: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/clang-libcxx.cmake
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_FLAGS_INIT "-stdlib=libc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-stdlib=libc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-stdlib=libc++")
set(VANTREL_GTEST_FROM_SOURCE ON CACHE BOOL "GoogleTest built with libc++ too")
