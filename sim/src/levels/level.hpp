#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "math/vec3.hpp"

namespace vantrel_sim {

// Visual style of a cargo; through it also mass on a scale, throw speed and fan push.
enum class CargoStyle : std::uint8_t {
    Freight = 0,
    Oxygen = 1,
    Battery = 2,
    Antenna = 3,
    Samples = 4,
    Bio = 5,
    Cryo = 6,
    Ballast = 7,
    Toolkit = 8,
    Coil = 9,
    Canister = 10,
    Helmet = 11,
};

// An axis-aligned box: centre and full extents. Walls, and every solid box.
struct BoxView {
    Vec3 pos;
    Vec3 size;

    friend bool operator==(const BoxView&, const BoxView&) = default;
};

// A pressure plate, or a scale when load_required > 0.
struct PlateView {
    std::string label;
    std::optional<float> load_maximum;
    Vec3 pos;
    float radius = 0.9f;
    float load_required = 0.0f;
    float load = 0.0f;     // live
    bool active = false;   // live

    friend bool operator==(const PlateView&, const PlateView&) = default;
};

struct DoorView {
    std::string label;
    std::optional<float> hold_remaining;   // live
    std::optional<float> cycle_remaining;  // live
    Vec3 pos;
    Vec3 size;
    bool open = false;  // live

    friend bool operator==(const DoorView&, const DoorView&) = default;
};

struct FanView {
    std::string label;
    Vec3 pos;
    Vec3 dir;
    bool active = true;  // live

    friend bool operator==(const FanView&, const FanView&) = default;
};

struct SocketView {
    std::string label;
    Vec3 pos;
    bool powered = false;  // live

    friend bool operator==(const SocketView&, const SocketView&) = default;
};

struct LiftView {
    std::size_t plate = 0;
    std::array<Vec3, 2> controls;
    Vec3 center;
    Vec3 size;
    float top = 0.0f;
    float height = 0.0f;     // live
    bool target_up = false;  // live

    friend bool operator==(const LiftView&, const LiftView&) = default;
};

// Whole seconds; the door opens while open_from <= phase < open_until of each period.
struct DoorCycle {
    std::uint32_t period = 0;
    std::uint32_t open_from = 0;
    std::uint32_t open_until = 0;

    friend bool operator==(const DoorCycle&, const DoorCycle&) = default;
};

// The wiring of one door: the conjunction of its four lists, or a fixed cycle.
struct DoorRule {
    std::optional<DoorCycle> cycle;
    std::vector<std::size_t> sockets_on;
    std::vector<std::size_t> sockets_off;
    std::vector<std::size_t> plates_on;
    std::vector<std::size_t> plates_off;
    std::uint32_t latch_seconds = 0;

    friend bool operator==(const DoorRule&, const DoorRule&) = default;
};

struct CargoSpawn {
    std::string_view label;
    Vec3 pos;
    Vec3 size;
    CargoStyle style = CargoStyle::Freight;
    std::uint8_t kind = 0;

    friend bool operator==(const CargoSpawn&, const CargoSpawn&) = default;
};

// One room. The device lists are the live device state while the room runs.
struct Level {
    std::string_view title;
    std::string_view objective;
    std::string_view hint;
    std::array<float, 2> room_size{20.0f, 28.0f};
    float room_height = 5.0f;
    Vec3 spawn{0.0f, 0.0f, 10.0f};
    Vec3 goal{0.0f, 0.04f, -10.0f};
    Vec3 goal_size{3.4f, 0.12f, 3.0f};
    std::uint32_t limit = 25;
    float gravity = 10.0f;
    float cargo_gravity = 2.8f;
    std::string_view cargo_label;
    Vec3 cargo_pos{-2.0f, 1.225f, 7.0f};
    CargoStyle cargo_style = CargoStyle::Freight;
    std::vector<CargoSpawn> cargo;
    std::vector<BoxView> walls;
    std::vector<PlateView> plates;
    std::vector<DoorView> doors;
    std::vector<DoorRule> door_rules;
    std::vector<FanView> fans;
    std::vector<SocketView> sockets;
    std::vector<Vec3> gravity_controls;
    std::optional<LiftView> lift;
    std::optional<std::array<float, 2>> transfer_window;

    friend bool operator==(const Level&, const Level&) = default;
};

inline constexpr std::size_t ROOM_COUNT = 16;

// The room catalogue: never fails; every index above 15 builds room 14.
Level make_level(std::size_t index);

}  // namespace vantrel_sim
