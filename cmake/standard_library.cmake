# Whether the standard library converts floating-point numbers to and from text: libstdc++
# does; libc++ 14 lacks from_chars for them, and the libc++ 13 of Emscripten to_chars too.
# The libraries never need it; only the checks that compare our own conversion with it do.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles([[
#include <charconv>
int main() {
    char text[32] = "1.5";
    float single = 0;
    double wide = 0;
    std::from_chars(text, text + 3, single);
    std::from_chars(text, text + 3, wide);
    std::to_chars(text, text + sizeof text, single, std::chars_format::scientific);
    return std::to_chars(text, text + sizeof text, wide, std::chars_format::scientific).ptr == text;
}]] VANTREL_STANDARD_FLOAT_CHARCONV)
