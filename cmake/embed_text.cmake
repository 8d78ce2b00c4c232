# Writes a C++ source that defines the bytes of a text file as an array and its size, so a
# file kept in the repository is compiled into a library exactly as it stands.
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DHEADER=<header declaring them>
#         -DNAMESPACE=<namespace> -DNAME=<array name> -P embed_text.cmake
# The size is <NAME>_SIZE. Bytes rather than a string literal: no escaping and no length limit.
cmake_minimum_required(VERSION 3.25)
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty")
endif()
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)  # CMake's regular expressions have no {n}
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
cmake_path(GET INPUT FILENAME source_name)
file(WRITE "${OUTPUT}" "// Generated from ${source_name} by embed_text.cmake at build time; edit ${source_name}.
#include \"${HEADER}\"

namespace ${NAMESPACE} {

const unsigned char ${NAME}[] = {
    ${bytes}
};
const std::size_t ${NAME}_SIZE = ${size};

}  // namespace ${NAMESPACE}
")
