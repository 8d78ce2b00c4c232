// Placeholder: replaced by the real implementation.
#include "math/geometry.hpp"
#include "internal_error.hpp"

namespace vantrel_sim {


std::optional<float> segment_box_time(Vec3, Vec3, Vec3, Vec3) { throw InternalError("not built"); }
bool segment_hits_box(Vec3, Vec3, Vec3, Vec3) { throw InternalError("not built"); }
Vec3 closest_point_on_box(Vec3, Vec3, Vec3) { throw InternalError("not built"); }
bool overlap(Vec3, Vec3, Vec3, Vec3) { throw InternalError("not built"); }

}  // namespace vantrel_sim
