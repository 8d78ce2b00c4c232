# What differs between the platforms the library ships to, kept in one place: the engine's
# name for the platform, how the library exports its entry and nothing else, how the C++
# runtime is linked, and which file implements each platform-specific module.

string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" vantrel_processor)
if(vantrel_processor MATCHES "^(x86_64|amd64|x64)$")
  set(VANTREL_ARCH x86_64)
elseif(vantrel_processor MATCHES "^(aarch64|arm64)$")
  set(VANTREL_ARCH arm64)
else()
  set(VANTREL_ARCH ${vantrel_processor})
endif()

if(WIN32)
  set(VANTREL_PLATFORM windows.${VANTREL_ARCH})
  set(VANTREL_PLATFORM_API windows)
elseif(APPLE)
  # One universal binary (CMAKE_OSX_ARCHITECTURES "arm64;x86_64") under the engine's key.
  set(VANTREL_PLATFORM macos)
  set(VANTREL_PLATFORM_API posix)
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}" vantrel_system)
  set(VANTREL_PLATFORM ${vantrel_system}.${VANTREL_ARCH})
  set(VANTREL_PLATFORM_API posix)
endif()

if(WIN32)
  # A player's machine has only the system DLLs: the GCC runtime, libstdc++ and winpthread
  # go into every binary instead of beside it.
  add_link_options(-static)
endif()

# Adds NAME_windows.cpp or NAME_posix.cpp for each NAME (a path without suffix).
function(vantrel_platform_sources target)
  foreach(module IN LISTS ARGN)
    target_sources(${target} PRIVATE ${module}_${VANTREL_PLATFORM_API}.cpp)
  endforeach()
endfunction()

# The engine library: named by platform so that every build fits one addon folder, and
# exporting the entry function only.
function(vantrel_engine_library target)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME vantrel.${VANTREL_PLATFORM}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  set(exports ${CMAKE_CURRENT_SOURCE_DIR}/vantrel)
  if(WIN32)
    # A module definition file switches off the linker's export of every symbol.
    target_sources(${target} PRIVATE ${exports}.def)
    target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL)
  elseif(APPLE)
    set_target_properties(${target} PROPERTIES SUFFIX .dylib)
    target_link_options(${target} PRIVATE -Wl,-exported_symbol,_vantrel_library_init)
  else()
    target_link_options(${target} PRIVATE -Wl,--version-script=${exports}.map -Wl,--no-undefined)
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${exports}.map)
  endif()
endfunction()
