// Builds every room and prints one line per room: the catalogue at a glance.
#include <cstdio>

#include "binary_stdio.hpp"
#include "levels/level.hpp"

int main() {
    using namespace vantrel_sim;
    vantrel_tools::use_binary_stdio();
    std::printf("%-5s %-28s %-16s %5s %6s %5s %7s %4s %5s %7s\n", "room", "title", "size", "walls",
                "plates", "doors", "sockets", "fans", "cargo", "deliver");
    for (std::size_t index = 0; index < ROOM_COUNT; ++index) {
        const Level level = make_level(index);
        std::size_t deliver = 1;  // the main cargo always counts
        for (const CargoSpawn& spawn : level.cargo) {
            deliver += spawn.kind == 1 ? 1 : 0;
        }
        char size[64];
        std::snprintf(size, sizeof size, "%gx%gx%g", static_cast<double>(level.room_size[0]),
                      static_cast<double>(level.room_size[1]),
                      static_cast<double>(level.room_height));
        // Pad by characters, not bytes: the titles are UTF-8.
        std::size_t characters = 0;
        for (const char byte : level.title) {
            characters += (static_cast<unsigned char>(byte) & 0xC0u) != 0x80u ? 1 : 0;
        }
        const int padding = characters < 28 ? static_cast<int>(28 - characters) : 0;
        std::printf("%-5zu %.*s%*s %-16s %5zu %6zu %5zu %7zu %4zu %5zu %7zu\n", index,
                    static_cast<int>(level.title.size()), level.title.data(), padding, "", size,
                    level.walls.size(), level.plates.size(), level.doors.size(),
                    level.sockets.size(), level.fans.size(), level.cargo.size() + 1, deliver);
    }
    return 0;
}
