// Stands in for libFuzzer where there is none (GCC, Windows, arm64): feeds each file named on
// the command line to the fuzz target once, so the drivers and their corpus run everywhere.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
        return 2;
    }
    for (int k = 1; k < argc; ++k) {
        std::ifstream file(argv[k], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", argv[k]);
            return 2;
        }
        const std::string bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replayed %d inputs\n", argc - 1);
    return 0;
}
