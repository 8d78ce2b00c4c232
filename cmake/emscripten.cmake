# WebAssembly under node (emcmake cmake): the runner reads files and standard input straight
# from the host (NODERAWFS), ends with its own exit status, and can catch the internal
# errors that the simulation throws (Emscripten turns catching off by default). The module
# is embedded in the .js (SINGLE_FILE): this Emscripten would otherwise fetch() it, which
# newer node offers but cannot do for a file path.
add_compile_options(-fexceptions)
add_link_options(-fexceptions -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
  -sSINGLE_FILE=1)
