# Native builds use the installed GoogleTest, which is built against libstdc++. Cross builds,
# and builds with another standard library (VANTREL_GTEST_FROM_SOURCE, set by the libc++
# toolchain file), compile it from Debian's sources with the target's compiler. Included
# before the project's warning flags, which are not GoogleTest's to meet.
option(VANTREL_GTEST_FROM_SOURCE "Build GoogleTest from Debian's googletest sources" OFF)
if(CMAKE_CROSSCOMPILING OR VANTREL_GTEST_FROM_SOURCE)
  set(VANTREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${VANTREL_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "no GoogleTest sources in ${VANTREL_GOOGLETEST_SOURCE} (Debian: apt-get install googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VANTREL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GCC 12 warns falsely about a string copy inside gtest.cc when it targets arm64.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(gtest PRIVATE -Wno-restrict)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
