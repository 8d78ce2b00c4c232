#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

#include "body.hpp"
#include "decimal_to_binary.hpp"
#include "levels/level.hpp"
#include "lift.hpp"
#include "motion.hpp"

namespace vantrel_sim {
namespace {

// The float nearest to a decimal text, rounded once from the text itself (the reader's own
// correctly rounded conversion, so the table reads the same under every standard library).
float nearest_float(std::string_view decimal) { return decimal_to_float(decimal); }

struct PinnedConstant {
    std::string_view name;
    float value;
    std::string_view decimal;  // the value as stated: one float, the one nearest to it
};

// Constants whose exact float is part of the behaviour: one float off changes every
// snapshot that depends on them (the lift step once was 0.02f, one float short).
TEST(TuningConstants, AreExactlyTheFloatsNearestTheirStatedValues) {
    const Level mass_balance = make_level(11);
    const Level far_dock = make_level(14);
    const Level terminal = make_level(15);
    ASSERT_EQ(mass_balance.plates.size(), 5u);
    ASSERT_EQ(far_dock.plates.size(), 5u);
    ASSERT_EQ(terminal.walls.size(), 14u);
    const std::vector<PinnedConstant> table = {
        {"tick", TICK, "0.008333334"},
        {"ticks per second", TICKS_PER_SECOND, "119.99999"},
        {"body contact radius", BODY_CONTACT_RADIUS, "0.29990003"},
        {"lift step", LIFT_MAX_STEP, "0.020000001"},
        {"room 11 M1 least load", mass_balance.plates[0].load_required, "2.3500001"},
        {"room 11 M1 greatest load", mass_balance.plates[0].load_maximum.value_or(0.0f), "2.45"},
        {"room 11 M2 least load", mass_balance.plates[1].load_required, "2.3500001"},
        {"room 11 M2 greatest load", mass_balance.plates[1].load_maximum.value_or(0.0f), "2.45"},
        {"room 11 M3 least load", mass_balance.plates[4].load_required, "1.35"},
        {"room 11 M3 greatest load", mass_balance.plates[4].load_maximum.value_or(0.0f),
         "1.4499999"},
        {"room 14 M least load", far_dock.plates[4].load_required, "1.35"},
        {"room 14 M greatest load", far_dock.plates[4].load_maximum.value_or(0.0f), "1.45"},
        {"room 15 west bridge wall centre", terminal.walls[8].pos.y, "6.3500004"},
        {"room 15 east bridge wall centre", terminal.walls[9].pos.y, "6.3500004"},
    };
    for (const PinnedConstant& row : table) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(row.value),
                  std::bit_cast<std::uint32_t>(nearest_float(row.decimal)))
            << row.name << " is not the float nearest " << row.decimal;
    }
}

}  // namespace
}  // namespace vantrel_sim
