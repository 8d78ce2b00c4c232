// libFuzzer target: any byte string handed to the input reader must give an Input or an
// error, never a crash, a hang or an out-of-bounds read.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto result = vantrel_sim::parse_input(text);
    if (const auto* error = std::get_if<vantrel_sim::InputError>(&result)) {
        // The error text must always be buildable.
        volatile std::size_t length = error->text().size();
        (void)length;
    }
    return 0;
}
