# GoogleTest for the tests. The system's libgtest is built against libstdc++; a build with
# another standard library (VANTREL_GTEST_FROM_SOURCE) compiles it here from Debian's
# googletest sources with the same compiler and flags.
option(VANTREL_GTEST_FROM_SOURCE "Build GoogleTest from /usr/src/googletest" OFF)
if(VANTREL_GTEST_FROM_SOURCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Not our code: none of our warnings.
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "")
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
