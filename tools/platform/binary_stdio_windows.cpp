#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "binary_stdio.hpp"

namespace vantrel_tools {

// The C runtime starts the standard streams in text mode, which writes "\r\n" for "\n" and
// drops the "\r" of "\r\n" when reading.
void use_binary_stdio() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace vantrel_tools
