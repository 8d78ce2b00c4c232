#include "levels/builders.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace vantrel_sim {
namespace {

// A stretch of a wall line along x that stays open (a window or a door).
struct Span {
    float start = 0.0f;
    float end = 0.0f;
};

}  // namespace

BoxView wall_piece(float from, float to, float z) {
    return {{(from + to) / 2.0f, 2.5f, z}, {to - from, 5.0f, 0.45f}};
}

std::vector<BoxView> room_shell(float width, float depth) {
    return room_shell_at_height(width, depth, 5.0f);
}

std::vector<BoxView> room_shell_at_height(float width, float depth, float height) {
    const float side_x = width / 2.0f + 0.2f;
    const float end_z = depth / 2.0f + 0.2f;
    const float mid_y = height / 2.0f;
    return {
        {{-side_x, mid_y, 0.0f}, {0.4f, height, depth + 0.4f}},
        {{side_x, mid_y, 0.0f}, {0.4f, height, depth + 0.4f}},
        {{0.0f, mid_y, end_z}, {width + 0.8f, height, 0.4f}},
        {{0.0f, mid_y, -end_z}, {width + 0.8f, height, 0.4f}},
        {{0.0f, height + 0.15f, 0.0f}, {width, 0.3f, depth}},
    };
}

SocketView powered_socket(float x, float z, std::string_view label) {
    return {std::string(label), {x, 0.38f, z}, false};
}

PlateView plate(Vec3 pos, std::string_view label) {
    PlateView result;
    result.label = std::string(label);
    result.pos = pos;
    return result;
}

void barrier(std::vector<BoxView>& walls, std::vector<DoorView>& doors, float z, float window_x,
             float door_x, std::string_view label) {
    // The barrier always spans a 20-wide room; the side walls close its ends.
    std::array<Span, 4> spans{{
        {-10.0f, -10.0f},
        {window_x - 1.4f, window_x + 1.4f},
        {door_x - 0.475f, door_x + 0.475f},
        {10.0f, 10.0f},
    }};
    std::stable_sort(spans.begin(), spans.end(),
                     [](const Span& a, const Span& b) { return a.start < b.start; });
    for (std::size_t i = 0; i + 1 < spans.size(); ++i) {
        if (spans[i + 1].start > spans[i].end) {
            walls.push_back(wall_piece(spans[i].end, spans[i + 1].start, z));
        }
    }
    walls.push_back({{window_x, 0.65f, z}, {2.8f, 1.3f, 0.45f}});
    walls.push_back({{window_x, 3.925f, z}, {2.8f, 2.15f, 0.45f}});
    walls.push_back({{door_x, 4.1f, z}, {0.95f, 1.8f, 0.45f}});

    DoorView door;
    door.label = std::string(label);
    door.pos = {door_x, 1.6f, z};
    door.size = {0.95f, 3.2f, 0.45f};
    doors.push_back(std::move(door));
}

void bulkhead(Level& level, float x, float z, std::string_view label) {
    const float half = level.room_size[0] / 2.0f;
    level.walls.push_back(wall_piece(-half, x - 1.65f, z));
    level.walls.push_back(wall_piece(x + 1.65f, half, z));
    level.walls.push_back({{x, 4.2f, z}, {3.3f, 1.6f, 0.45f}});

    DoorView door;
    door.label = std::string(label);
    door.pos = {x, 1.7f, z};
    door.size = {3.3f, 3.4f, 0.45f};
    level.doors.push_back(std::move(door));
}

}  // namespace vantrel_sim
