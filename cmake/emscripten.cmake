# WebAssembly under node (emcmake cmake): the runner reads files and standard input straight
# from the host (NODERAWFS), ends with its own exit status, and can catch the internal
# errors that the simulation throws (Emscripten turns catching off by default).
add_compile_options(-fexceptions)
add_link_options(-fexceptions -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1)
